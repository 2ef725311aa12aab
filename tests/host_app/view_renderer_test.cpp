// The host view's part drawn through the 3-D device on the sample bracket, and the view's two
// devices sharing one OpenGL context without sharing their light or material.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "documents/host_selection.h"
#include "program/host_application.h"
#include "program/part_drawing.h"
#include "program/view_renderer.h"
#include "render/gl/gl_render_device.h"
#include "render/gl/offscreen_context.h"
#include "render/recording_device.h"
#include "sample_parts.h"

namespace {

using hostapp::PickItem;
using hostapp::PickKind;
using render::RenderState;

constexpr render::Argb kPicked = 0xFFE64DBF;

// Faces lit and pushed behind the edges, each edge a line list of its polyline, the picked face and
// edge marked; one vertex buffer serves every frame and goes with the drawing.
TEST(PartDrawing, DrawsTheFacesAndEdgesThroughTheDeviceWithThePicksMarked) {
    hostapp::HostApplication app;
    hostapp::HostSession& session = app.openDocument(samplePath("bracket.step"), hostapp::SessionOptions{});
    app.prepareView(800, 600);
    const hostapp::ViewTessellation& part = app.tessellation();
    const auto& face = part.faces()[7];
    const auto& edge = part.edges()[3];
    session.selection().replace({hostapp::selectedItem(session, PickItem{PickKind::Face, face.number, ""}),
                                 hostapp::selectedItem(session, PickItem{PickKind::Edge, edge.number, ""})});
    auto device = platform::makeRef<render::RecordingDevice>();
    {
        hostapp::PartDrawing drawing(device);
        drawing.draw(app);
        drawing.draw(app);
        EXPECT_EQ(device->liveBuffers(), 1u);
        EXPECT_EQ(device->count("createVertexBuffer"), 1);
    }
    EXPECT_EQ(device->liveBuffers(), 0u);

    std::size_t triangles = 0, lines = 0, pickedLines = 0, expectedLines = 0;
    std::map<render::Argb, int> faceColours;
    for (const auto& e : part.edges()) expectedLines += e.points.size() - 1;
    const auto& draws = device->draws();
    for (std::size_t i = draws.size() / 2; i < draws.size(); ++i) {  // the second frame
        const render::RecordedDraw& d = draws[i];
        triangles += d.triangleCount;
        if (d.triangleCount > 0) {
            ++faceColours[d.material];
            EXPECT_EQ(d.states.at(RenderState::Lighting), 1.0f);
            EXPECT_EQ(d.states.at(RenderState::DepthBias), 1.0f);
            EXPECT_EQ(d.light.diffuse, hostapp::kViewLight.diffuse);
        }
        if (d.lineCount > 0 && d.states.at(RenderState::DepthEnable) == 1) {  // not the planes
            EXPECT_EQ(d.states.at(RenderState::Lighting), 0.0f);
            const bool marked = d.material == kPicked;
            lines += d.lineCount;
            pickedLines += marked ? d.lineCount : 0;
            EXPECT_EQ(d.states.at(RenderState::LineWidth), marked ? 4.0f : 1.5f);
        }
    }
    EXPECT_EQ(triangles, part.triangleCount());
    EXPECT_EQ(lines, expectedLines);
    EXPECT_EQ(pickedLines, edge.points.size() - 1);
    EXPECT_EQ(faceColours[kPicked], 1);
    EXPECT_EQ(faceColours.size(), 2u);
}

// The part's device leaves its red, dim material in the context; the commands' lit draw after it
// has its own white material under the view's light, and a line list is as wide as asked.
TEST(ViewDevices, TheCommandsDrawWithTheirOwnMaterialUnderTheViewsLight) {
    render::gl::OffscreenContext context(64, 64);
    context.makeCurrent();
    hostapp::ViewDevices devices(64, 64);
    // A square over the view, its normal across the view and turned from the view's light (only the
    // ambient parts light it), then a line across it.
    const std::vector<render::Vertex> vertices = {
        {-1, -1, 0.5f, 1, 0, 0}, {1, -1, 0.5f, 1, 0, 0}, {1, 1, 0.5f, 1, 0, 0}, {-1, -1, 0.5f, 1, 0, 0},
        {1, 1, 0.5f, 1, 0, 0},   {-1, 1, 0.5f, 1, 0, 0}, {-1, 0, 0.2f},         {1, 0, 0.2f}};
    auto drawSquare = [&](render::gl::GlRenderDevice& device) {
        const render::Handle buffer = device.createVertexBuffer(vertices.size() * sizeof(render::Vertex));
        device.writeVertexBuffer(buffer, vertices.data(), vertices.size() * sizeof(render::Vertex));
        device.setVertexFormat(render::kFormatPositionNormalTex1);
        device.setStreamSource(0, buffer, sizeof(render::Vertex));
        device.drawTriangleList(0, 2);
        return buffer;
    };
    devices.part->clear({0, 0, 64, 64}, 0xFFFFFFFF, 1);
    devices.part->setMaterial(0xFFFF0000);
    devices.part->setLight({{0, 0, -1}, 0.1f, 0.1f});
    drawSquare(*devices.part);
    drawSquare(*devices.commands);
    const render::Argb lit = devices.commands->pixel(10, 10);
    const int red = (lit >> 16) & 0xFF, green = (lit >> 8) & 0xFF, blue = lit & 0xFF;
    EXPECT_EQ(red, green);
    EXPECT_EQ(green, blue);
    EXPECT_NEAR(red, 153, 1);  // OpenGL's ambient 0.2 and the view light's 0.4

    devices.commands->setRenderState(RenderState::Lighting, 0);
    devices.commands->setRenderState(RenderState::LineWidth, 5);
    devices.commands->setMaterial(0xFF000000);
    devices.commands->drawLineList(6, 1);
    EXPECT_EQ(devices.commands->pixel(32, 30), 0xFF000000u);
    EXPECT_EQ(devices.commands->pixel(32, 34), 0xFF000000u);
    EXPECT_NE(devices.commands->pixel(32, 36), 0xFF000000u);
}

}  // namespace
