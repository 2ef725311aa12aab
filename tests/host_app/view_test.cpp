// The host view: the camera's projection, the same view given to a 3-D device, the raster
// canvas the overlay marks are drawn on, and the PNG print page.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "program/raster_canvas.h"
#include "program/raster_print_page.h"
#include "program/view_camera.h"
#include "render/print_canvas.h"
#include "render/render_math.h"
#include "support/scratch_folder.h"

namespace {

using hostapp::installRasterPrintPages;
using hostapp::RasterCanvas;
using hostapp::RasterImage;
using hostapp::RasterPrintPage;
using hostapp::ViewCamera;

// Corner `i` (0 to 7) of the 200 x 20 x 10 box the tests frame.
host::Point3 boxCorner(int i) {
    return {(i & 1) ? 200.0 : 0.0, (i & 2) ? 20.0 : 0.0, (i & 4) ? 10.0 : 0.0};
}

// Where a device given the camera's matrices in a 400 x 300 viewport puts `p`.
render::Float3 onDevice(const ViewCamera& camera, const host::Point3& p) {
    return render::projectPoint({static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)},
                                {0, 0, 400, 300, 0.0f, 1.0f}, camera.projectionMatrix(), camera.viewMatrix(),
                                render::Matrix4::identity());
}

// The device puts `p` on the camera's own pixel, within its depth range.
void expectDeviceAgrees(const ViewCamera& camera, const host::Point3& p) {
    const render::Float3 s = onDevice(camera, p);
    EXPECT_NEAR(s.x, camera.project(p).x, 1e-2);
    EXPECT_NEAR(s.y, camera.project(p).y, 1e-2);
    EXPECT_GT(s.z, 0.0f);
    EXPECT_LT(s.z, 1.0f);
}

// The fitted box lies inside the picture, centred, up the model up the picture; the device given
// the camera's matrices puts every point on the camera's own pixel, nearer points at smaller depth.
TEST(ViewCamera, FitsTheBoxAndTheDevicesViewLandsOnTheSamePixels) {
    ViewCamera camera;
    camera.fit({0, 0, 0}, {200, 20, 10}, 400, 300);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const auto p = camera.project(boxCorner(i));
        EXPECT_GE(p.x, 120) << "the add-on's strip at the left stays free";
        EXPECT_LE(p.x, 400);
        EXPECT_GE(p.y, 0);
        EXPECT_LE(p.y, 300);
        expectDeviceAgrees(camera, boxCorner(i));
    }
    const auto centre = camera.project({100, 10, 5});
    EXPECT_NEAR(centre.x, 260, 1e-9);  // the middle of 120..400
    EXPECT_NEAR(centre.y, 150, 1e-9);
    EXPECT_LT(camera.project({100, 10, 10}).y, camera.project({100, 10, 0}).y);
    EXPECT_GT(camera.project({200, 20, 10}).depth, camera.project({0, 0, 0}).depth);
    EXPECT_LT(onDevice(camera, {200, 20, 10}).z, onDevice(camera, {0, 0, 0}).z)
        << "depth 0 is nearest the viewer";
    // Windows over the view's right: the part is framed between the strip and them.
    camera.setCoveredRight(100);
    camera.fit({0, 0, 0}, {200, 20, 10}, 600, 300);
    EXPECT_NEAR(camera.project({100, 10, 5}).x, 310, 1e-9);  // the middle of 120..500
    for (int i = 0; i < 8; ++i) EXPECT_LE(camera.project(boxCorner(i)).x, 500);
    // The main window's view at its first size, with the command windows' column over its right.
    camera.setCoveredRight(345);
    camera.fit({0, 0, 0}, {200, 20, 10}, 900, 770);
    for (int i = 0; i < 8; ++i) EXPECT_LE(camera.project(boxCorner(i)).x, 555);
    // Only a view with less than a third of it free is framed under the windows.
    camera.fit({0, 0, 0}, {200, 20, 10}, 500, 300);
    EXPECT_NEAR(camera.project({100, 10, 5}).x, 310, 1e-9);  // the middle of 120..500
}

// The standard views are views, not mirror images; turning keeps the box's middle on its pixel and
// the model within the device's depth; panning moves pixels, zooming keeps the one under the
// cursor; a pixel's ray runs through the points that land on it.
TEST(ViewCamera, TurnsPansZoomsAndLooksAlongTheStandardDirections) {
    using hostapp::StandardView;
    ViewCamera camera;
    const host::Point3 low{0, 0, 0}, high{200, 20, 10};
    camera.fit(low, high, 400, 300);
    auto step = [&](const host::Point3& axis) {
        const auto a = camera.project({100, 10, 5}),
                   b = camera.project({100 + axis.x, 10 + axis.y, 5 + axis.z});
        return std::pair{b.x - a.x, b.y - a.y};
    };
    // Seen from (1, 1, 1) with Z up: X runs down to the left, Y down to the right, Z up.
    EXPECT_LT(step({1, 0, 0}).first, 0);
    EXPECT_GT(step({0, 1, 0}).first, 0);
    EXPECT_LT(step({0, 0, 1}).second, 0);
    camera.setStandardView(StandardView::Front);  // from -Y: X to the right, Z up
    EXPECT_GT(step({1, 0, 0}).first, 0);
    EXPECT_LT(step({0, 0, 1}).second, 0);
    EXPECT_NEAR(camera.towardsViewer().y, -1, 1e-12);
    camera.setStandardView(StandardView::Top);  // from +Z: X to the right, Y up
    EXPECT_LT(step({0, 1, 0}).second, 0);
    camera.setStandardView(StandardView::Right);  // from +X: Y to the right
    EXPECT_GT(step({0, 1, 0}).first, 0);

    camera.setStandardView(StandardView::Iso);
    camera.fit(low, high, 400, 300);
    const auto middle = camera.project({100, 10, 5});
    for (int turn = 0; turn < 40; ++turn) camera.rotate(37, -23);
    EXPECT_NEAR(camera.project({100, 10, 5}).x, middle.x, 1e-6);
    EXPECT_NEAR(camera.project({100, 10, 5}).y, middle.y, 1e-6);
    for (int i = 0; i < 8; ++i) expectDeviceAgrees(camera, boxCorner(i));
    EXPECT_TRUE(camera.moved());

    const auto before = camera.project({0, 0, 0});
    camera.pan(15, -7);
    EXPECT_NEAR(camera.project({0, 0, 0}).x, before.x + 15, 1e-9);
    EXPECT_NEAR(camera.project({0, 0, 0}).y, before.y - 7, 1e-9);
    const auto ray = camera.rayAt(250, 140);
    const host::Point3 onRay{ray.origin.x + 80 * ray.direction.x, ray.origin.y + 80 * ray.direction.y,
                             ray.origin.z + 80 * ray.direction.z};
    EXPECT_NEAR(camera.project(onRay).x, 250, 1e-9);
    EXPECT_NEAR(camera.project(onRay).y, 140, 1e-9);
    EXPECT_GT(camera.project(ray.origin).depth, camera.project(onRay).depth) << "the ray starts in front";
    const double scale = camera.scale();
    camera.zoom(1.2, 250, 140);
    EXPECT_NEAR(camera.scale(), 1.2 * scale, 1e-12);
    EXPECT_NEAR(camera.project(onRay).x, 250, 1e-9);
    EXPECT_NEAR(camera.project(onRay).y, 140, 1e-9);
}

TEST(RasterCanvas, DrawsWithThePensColourAndWidthKeepingTheNearestPixel) {
    RasterImage image(100, 60);
    RasterCanvas canvas(image);
    canvas.setPen(0x0000FF, 3);
    canvas.line(10, 20, 90, 20);
    EXPECT_EQ(image.at(50, 19), 0x0000FFu);
    EXPECT_EQ(image.at(50, 21), 0x0000FFu);
    EXPECT_EQ(image.at(50, 23), 0xFFFFFFu);
    canvas.setPen(0x00FF00, 1);
    canvas.rectangle(5, 30, 25, 50);
    EXPECT_EQ(image.at(15, 30), 0x00FF00u);
    EXPECT_EQ(image.at(25, 40), 0x00FF00u);
    EXPECT_EQ(image.at(15, 40), 0xFFFFFFu) << "an outline only";
    canvas.circle(60, 40, 10);
    EXPECT_EQ(image.at(70, 40), 0x00FF00u);
    EXPECT_EQ(image.at(60, 40), 0xFFFFFFu);
    // Far-away and broken coordinates draw what lies in the picture and nothing else.
    canvas.line(-1e12, 5, 1e12, 5);
    EXPECT_EQ(image.at(0, 5), 0x00FF00u);
    canvas.line(0, std::numeric_limits<double>::quiet_NaN(), 10, 10);
    // A pixel keeps the nearest of what is drawn on it.
    RasterImage deep(4, 4);
    EXPECT_TRUE(deep.setIfNearer(1, 1, 5.0, 0x111111));
    EXPECT_FALSE(deep.setIfNearer(1, 1, 4.0, 0x222222));
    EXPECT_TRUE(deep.setIfNearer(1, 1, 6.0, 0x333333));
    EXPECT_EQ(deep.at(1, 1), 0x333333u);
    EXPECT_FALSE(deep.setIfNearer(9, 1, 9.0, 0x444444));
}

// Prints to a ".png" name become a raster page written when the print ends; ".pdf" stays PDF.
TEST(RasterPrintPage, PrintsToPngNamesAndSizesItsText) {
    installRasterPrintPages();
    ScratchFolder folder;
    auto page = render::openPrintCanvas(folder.file("graph.png"), "Time History Graph");
    auto* raster = dynamic_cast<RasterPrintPage*>(page.get());
    ASSERT_NE(raster, nullptr);
    auto inkIn = [&](int top, int bottom) {
        int ink = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < 400; ++x) ink += raster->image().at(x, y) == 0x000000u;
        return ink;
    };
    page->text(10, 10, "Node 12");
    page->setTextHeight(page->pageHeight() / 40.0);
    page->text(10, 100, "Node 12");
    EXPECT_GT(inkIn(0, 60), 20);
    EXPECT_GT(inkIn(90, 200), 4 * inkIn(0, 60)) << "text of a larger height covers more of the page";
    ASSERT_TRUE(page->finish());
    EXPECT_EQ(readFile(folder.file("graph.png")).substr(1, 3), "PNG");

    EXPECT_FALSE(render::openPrintCanvas(folder.file("no/such/folder/graph.png"), "t")->finish());
    EXPECT_EQ(dynamic_cast<RasterPrintPage*>(render::openPrintCanvas(folder.file("graph.pdf"), "t").get()),
              nullptr);
}

// Each page pixel takes the picture pixel under its centre; what falls off the page is dropped.
TEST(RasterPrintPage, StretchesAPictureOverItsRectangle) {
    RasterPrintPage page("unused.png");
    const std::vector<std::uint8_t> rgb{255, 0, 0,   0,   255, 0,   // red, green
                                        0,   0, 255, 255, 255, 0};  // blue, yellow
    page.picture(10, 20, 40, 20, 2, 2, rgb);
    // The four quarters, then nothing right of the rectangle or below it.
    const std::tuple<int, int, std::uint32_t> pixels[] = {
        {10, 20, 0x0000FF}, {29, 29, 0x0000FF}, {30, 29, 0x00FF00}, {10, 30, 0xFF0000},
        {49, 39, 0x00FFFF}, {50, 39, 0xFFFFFF}, {10, 40, 0xFFFFFF}};
    for (const auto& [x, y, colour] : pixels) EXPECT_EQ(page.image().at(x, y), colour) << x << ", " << y;
    page.picture(RasterPrintPage::kWidth - 1, RasterPrintPage::kHeight - 1, 40, 40, 2, 2, rgb);
    EXPECT_EQ(page.image().at(RasterPrintPage::kWidth - 1, RasterPrintPage::kHeight - 1), 0x0000FFu);
    page.picture(0, 0, 40, 40, 2, 3, rgb);  // fewer bytes than the size says: nothing drawn
    EXPECT_EQ(page.image().at(0, 0), 0xFFFFFFu);
}

}  // namespace
