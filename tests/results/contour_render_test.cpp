// The Plot command drawing through the OpenGL device off screen: the picture is written as PNG and
// checked for the expected colours at known pixels.
#include <gtest/gtest.h>

#include <cstdlib>

#include "contour_fixture.h"
#include "render/gl/gl_render_device.h"
#include "render/render_math.h"

namespace {

using namespace results;
using C = CContours;
using render::Float3;

class OffscreenPlot : public ::testing::Test, public results_test::ContourFixture {
  protected:
    void SetUp() override {
        gl = platform::makeRef<render::gl::OffscreenRenderDevice>(800, 600);
        // The camera looks along +z at the z = 0 face of the first tetrahedron.
        gl->setTransform(render::TransformKind::View,
                         render::lookAt({0.3f, 0.3f, -3}, {0.3f, 0.3f, 0}, {0, 1, 0}));
        gl->setTransform(render::TransformKind::Projection,
                         render::perspective(0.8f, 800.0f / 600.0f, 0.1f, 100));
        auto& d = start();
        host.setRenderDevice(gl);
        d.userClick(C::kLighting);  // unlit: the colours are the bars' own
    }
    // The pixel showing model point `p`.
    render::Argb at(const Float3& p) {
        const Float3 s =
            render::projectPoint(p, gl->viewport(), gl->transform(render::TransformKind::Projection),
                                 gl->transform(render::TransformKind::View), render::Matrix4::identity());
        return gl->pixel(static_cast<int>(s.x), static_cast<int>(s.y));
    }
    void save(const std::string& name) {
        const char* folder = std::getenv("KOLVANE_BUILD_DIR");
        ASSERT_TRUE(gl->writePng((folder ? std::string(folder) : scratch.path()) + "/" + name));
    }

    platform::RefPtr<render::gl::OffscreenRenderDevice> gl;
};

const Float3 kFaceCentre{1.0f / 3, 1.0f / 3, 0};

// The mesh alone in the grey mesh texture on the cleared background; then von Mises.
TEST_F(OffscreenPlot, MeshOnlyShowsTheGreyMeshTextureAndVonMisesTheBandsAndTheLegend) {
    command->On3DRender();
    save("results_render_mesh.png");
    EXPECT_EQ(at(kFaceCentre), 0xFFC3C3C3u);
    EXPECT_EQ(gl->pixel(700, 580), 0xFFFFFFFFu);  // cleared background
    auto& d = *command->contours();
    d.userChoose(C::kQuantityList, d.findItemExact(C::kQuantityList, "Von Mises Stress"));
    command->On3DRender();
    save("results_render_von_mises.png");
    // Node 1 (value 10, the smallest) is blue; the face centre (about 20) is in band 1, 0x00A0FF.
    EXPECT_EQ(at({0.02f, 0.02f, 0}), 0xFF0000FFu);
    EXPECT_EQ(at(kFaceCentre), 0xFF00A0FFu);
    // The legend's top swatch is red, the bottom one blue.
    EXPECT_EQ(gl->pixel(15, 30), 0xFF000000u | kBandColours[9]);
    EXPECT_EQ(gl->pixel(15, 390), 0xFF000000u | kBandColours[0]);
}

}  // namespace
