#include "program/part_drawing.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "documents/host_geometry.h"
#include "documents/host_points.h"
#include "program/view_picker.h"
#include "program/view_scene.h"
#include "program/view_tessellation.h"

namespace hostapp {

namespace {

using host::Point3;
using render::Argb;
using render::RenderState;

constexpr Argb kSteel = 0xFF96ABC7;
constexpr Argb kPicked = 0xFFE64DBF;  // unlike every band colour of the contours
constexpr Argb kEdgeGrey = 0xFF404040;
constexpr Argb kPointBlue = 0xFF1A33CC;
constexpr Argb kPlaneGrey = 0xFF8C8C99;

// What the session's selection holds, as the view marks it.
struct Highlight {
    std::set<std::pair<int, int>> faces, edges, vertices;  // (body, index)
    std::set<int> points;
    std::set<std::string> planes;
};

Highlight highlightOf(const HostSession& session) {
    Highlight h;
    for (platform::IUnknown* object : session.selection().objects()) {
        if (auto* face = dynamic_cast<HostFace*>(object)) {
            h.faces.insert({face->ref().body, face->ref().index});
        } else if (auto* edge = dynamic_cast<HostEdge*>(object)) {
            h.edges.insert({edge->ref().body, edge->ref().index});
        } else if (auto* vertex = dynamic_cast<HostVertex*>(object)) {
            h.vertices.insert({vertex->ref().body, vertex->ref().index});
        } else if (auto* point = dynamic_cast<HostDesignPoint*>(object)) {
            h.points.insert(point->number());
        } else if (auto* plane = dynamic_cast<HostPlane*>(object)) {
            h.planes.insert(plane->name());
        }
    }
    return h;
}

bool isPicked(const std::set<std::pair<int, int>>& picked, const EntityRef& ref) {
    return picked.count({ref.body, ref.index}) > 0;
}

enum class Primitive { Triangles, Lines, Points };

// A run of a frame's vertices drawn alike.
struct Batch {
    Primitive primitive = Primitive::Triangles;
    std::size_t first = 0, count = 0;  // vertices
    Argb colour = kSteel;
    float size = 1;        // of lines and points, in pixels
    bool overAll = false;  // drawn without the depth test
};

// The vertices of a frame and how they are drawn, in drawing order.
struct Frame {
    std::vector<render::Vertex> vertices;
    std::vector<Batch> batches;

    void begin(Primitive primitive, Argb colour, float size = 1, bool overAll = false) {
        batches.push_back({primitive, vertices.size(), 0, colour, size, overAll});
    }
    void add(const Point3& p) {
        vertices.push_back({static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
        ++batches.back().count;
    }
    void addLine(const Point3& a, const Point3& b) {
        add(a);
        add(b);
    }
};

void addFaces(Frame& frame, const ViewTessellation& part, const Highlight& picked) {
    for (const TessellatedFace& face : part.faces()) {
        frame.begin(Primitive::Triangles, isPicked(picked.faces, face.ref) ? kPicked : kSteel);
        for (std::size_t i = 0; i + 2 < face.positions.size(); i += 3) {
            const float* p = &face.positions[i];
            const float* n = &face.normals[i];
            frame.vertices.push_back({p[0], p[1], p[2], n[0], n[1], n[2]});
            ++frame.batches.back().count;
        }
    }
}

void addEdges(Frame& frame, const ViewTessellation& part, const Highlight& picked) {
    for (const TessellatedEdge& edge : part.edges()) {
        const bool marked = isPicked(picked.edges, edge.ref);
        frame.begin(Primitive::Lines, marked ? kPicked : kEdgeGrey, marked ? 4.0f : 1.5f);
        for (std::size_t i = 1; i < edge.points.size(); ++i)
            frame.addLine(edge.points[i - 1], edge.points[i]);
    }
    frame.begin(Primitive::Points, kPicked, 9);
    for (const TessellatedVertex& vertex : part.vertices())
        if (isPicked(picked.vertices, vertex.ref)) frame.add(vertex.point);
}

void addPointsAndPlanes(Frame& frame, const HostSession& session, const Highlight& picked) {
    const auto box = session.document().boundingBox();
    for (const auto& plane : session.planes()) {
        const bool marked = picked.planes.count(plane->name()) > 0;
        const auto corners = planeFrame(plane->normal(), box);
        frame.begin(Primitive::Lines, marked ? kPicked : kPlaneGrey, marked ? 3.0f : 1.0f, true);
        for (std::size_t i = 0; i < corners.size(); ++i)
            frame.addLine(corners[i], corners[(i + 1) % corners.size()]);
    }
    // Runs of one colour, so that the points are drawn in their order.
    for (const auto& point : session.designPoints()) {
        const Argb colour = picked.points.count(point->number()) > 0 ? kPicked : kPointBlue;
        const Batch& last = frame.batches.back();
        if (last.primitive != Primitive::Points || last.colour != colour || !last.overAll)
            frame.begin(Primitive::Points, colour, 7, true);
        frame.add(point->position());
    }
}

void drawBatch(render::IRenderDevice& device, const Batch& batch) {
    if (batch.count == 0) return;
    const bool faces = batch.primitive == Primitive::Triangles;
    device.setRenderState(RenderState::Lighting, faces ? 1.0f : 0.0f);
    // The faces are pushed back a little: the edges drawn over them stay in front.
    device.setRenderState(RenderState::SlopeScaleDepthBias, faces ? 1.0f : 0.0f);
    device.setRenderState(RenderState::DepthBias, faces ? 1.0f : 0.0f);
    device.setRenderState(RenderState::DepthEnable, batch.overAll ? 0.0f : 1.0f);
    device.setRenderState(
        batch.primitive == Primitive::Points ? RenderState::PointSize : RenderState::LineWidth, batch.size);
    device.setMaterial(batch.colour);
    if (faces) device.drawTriangleList(batch.first, batch.count / 3);
    if (batch.primitive == Primitive::Lines) device.drawLineList(batch.first, batch.count / 2);
    if (batch.primitive == Primitive::Points) device.drawPointList(batch.first, batch.count);
}

}  // namespace

PartDrawing::PartDrawing(platform::RefPtr<render::IRenderDevice> device) : device_(std::move(device)) {
    device_->setLight(kViewLight);
}

PartDrawing::~PartDrawing() {
    if (buffer_ != 0) device_->releaseVertexBuffer(buffer_);
}

void PartDrawing::upload(const std::vector<render::Vertex>& vertices) {
    const std::size_t bytes = vertices.size() * sizeof(render::Vertex);
    if (bytes > capacity_ || buffer_ == 0) {
        if (buffer_ != 0) device_->releaseVertexBuffer(buffer_);
        capacity_ = std::max<std::size_t>(bytes, sizeof(render::Vertex));
        buffer_ = device_->createVertexBuffer(capacity_);
    }
    device_->writeVertexBuffer(buffer_, vertices.data(), bytes);
}

void PartDrawing::draw(ViewScene& scene) {
    const HostSession& session = scene.requireSession();
    const Highlight picked = highlightOf(session);
    Frame frame;
    addFaces(frame, scene.tessellation(), picked);
    addEdges(frame, scene.tessellation(), picked);
    addPointsAndPlanes(frame, session, picked);
    upload(frame.vertices);
    render::IRenderDevice& device = *device_;
    device.setTransform(render::TransformKind::View, scene.camera().viewMatrix());
    device.setTransform(render::TransformKind::Projection, scene.camera().projectionMatrix());
    device.setVertexFormat(render::kFormatPositionNormalTex1);
    device.setStreamSource(0, buffer_, sizeof(render::Vertex));
    for (const Batch& batch : frame.batches) drawBatch(device, batch);
}

}  // namespace hostapp
