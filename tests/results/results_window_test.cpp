// The "FEA Results" window opened through the add-on's hook and driven as a user would, drawn off
// screen through OpenGL: colours at known pixels, the triad, probing, numbers, no mesh, printing,
// step and mode handling and the resizing rule.
#include <gtest/gtest.h>

#include <zlib.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "addon/command_factory.h"
#include "loadcase/header_file.h"
#include "render/gl/offscreen_scene_renderer.h"
#include "render/print_canvas.h"
#include "results/contour_fixture.h"
#include "results/display_state.h"
#include "results/ogl_results_dialog.h"
#include "results/quantity_list.h"
#include "results/trackball.h"
#include "ui/screen_capture.h"

namespace {

using D = CoglMFCDialogDlg;
using namespace results;

struct Rgb {
    int r, g, b;
};

class ResultsWindow : public ::testing::Test, public results_test::ContourFixture {
  public:
    ResultsWindow() { render::gl::installOffscreenSceneRenderer(); }
    ~ResultsWindow() { render::setSceneRendererFactory(nullptr); }

    void writeHeader(int analysisCode) {
        loadcase::writeHeaderFile(explorer->document().jobBasePath() + ".txt", "mm", analysisCode,
                                  explorer->document().meshPath());
    }
    // Opens the window through the add-on's hook and runs `script` while it is shown.
    void run(std::function<void(D&)> script) {
        prompts->queueModal("FEA Results", [script](ui::Dialog& d) { script(static_cast<D&>(d)); });
        addon::openResultsWindow(explorer->document());
        ASSERT_EQ(prompts->modalRuns().back(), "FEA Results");
    }
    static void choose(D& d, const std::string& text) {
        d.userChoose(D::kQuantityList, d.findItemExact(D::kQuantityList, text));
    }
    // Draws one frame and answers the pixel at (x, y) of the control, y from the top.
    static Rgb pixel(D& d, int x, int y) {
        d.glControl().runFrames(1);
        const auto p = d.glControl().pixels();
        const int w = d.glControl().windowRect().width();
        const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 4;
        return {p.at(i), p.at(i + 1), p.at(i + 2)};
    }
    static int countPixels(D& d, const std::function<bool(Rgb)>& test) {
        d.glControl().runFrames(1);
        const auto p = d.glControl().pixels();
        int count = 0;
        for (std::size_t i = 0; i + 3 < p.size(); i += 4)
            if (test({p[i], p[i + 1], p[i + 2]})) ++count;
        return count;
    }
    static bool black(Rgb c) { return c.r < 40 && c.g < 40 && c.b < 40; }
    static bool notWhite(Rgb c) { return c.r < 250 || c.g < 250 || c.b < 250; }
    // The mid grey the number labels are drawn in.
    static bool labelGrey(Rgb c) { return (c.r == 127 || c.r == 128) && c.g == c.r && c.b == c.r; }
    // Pictures go to the scratch folder, or to KOLVANE_PICTURES when set, to look at them.
    std::string picture(const std::string& name) const {
        const char* keep = std::getenv("KOLVANE_PICTURES");
        return keep ? std::string(keep) + "/" + name : scratch.file(name);
    }
};

TEST_F(ResultsWindow, OpensOnTheGreyMeshWithEdgesAndTheTriadThenVonMisesColoursTheModel) {
    run([this](D& d) {
        const ui::Rect r = d.glControl().windowRect();
        EXPECT_GT(r.width(), 500);
        // The model sits in the middle in the mesh's light grey, lit.
        const Rgb centre = pixel(d, r.width() / 2, r.height() / 2);
        EXPECT_TRUE(std::abs(centre.r - centre.g) <= 3 && std::abs(centre.g - centre.b) <= 3 &&
                    centre.r > 70 && centre.r < 230)
            << centre.r << " " << centre.g << " " << centre.b;
        EXPECT_GT(countPixels(d, black), 200) << "element edges";
        // The triad in the 150-pixel corner: Z points at the viewer (a red disc at the middle), X
        // right (green-yellow), Y up (blue). Per arrow: the pixel, its bright channel and its dark one.
        const int mid = r.height() - 75;
        for (const auto& [px, py, bright, dark, darkBelow] :
             {std::tuple{75, mid, &Rgb::r, &Rgb::g, 60}, std::tuple{75, mid, &Rgb::r, &Rgb::b, 60},
              std::tuple{120, mid, &Rgb::g, &Rgb::b, 80}, std::tuple{75, mid - 45, &Rgb::b, &Rgb::r, 60}}) {
            const Rgb c = pixel(d, px, py);
            EXPECT_GT(c.*bright, 120) << px << ", " << py;
            EXPECT_LT(c.*dark, darkBelow) << px << ", " << py;
        }

        // Von Mises, banded and then smooth, colours the model; No Mesh drops the edges.
        choose(d, "Von Mises Stress");
        const auto coloured = [](Rgb c) { return std::abs(c.r - c.g) > 40 || std::abs(c.g - c.b) > 40; };
        EXPECT_GT(countPixels(d, coloured), 2000);
        const int edges = countPixels(d, black);
        EXPECT_GT(edges, 200);
        const auto banded = d.glControl().pixels();
        d.userClick(D::kSmooth);
        d.glControl().runFrames(1);
        EXPECT_NE(d.glControl().pixels(), banded) << "linear filtering blends across bands";
        d.userClick(D::kNoMesh);
        EXPECT_LT(countPixels(d, black), edges / 4);
    });
}

TEST_F(ResultsWindow, ASliceCutsTheModelAwayAndTheSlidersAnswerOnlyToTrackingCodes) {
    run([this](D& d) {
        choose(d, "Von Mises Stress");
        EXPECT_FALSE(d.isEnabled(D::kSliderX));
        d.userClick(D::kSliceView);
        EXPECT_TRUE(d.isEnabled(D::kSliderX));
        // Every node but node 1 lies beyond 0 percent on some axis: element 2 (all its nodes out) goes.
        d.userSlide(D::kSliderX, 0, ui::kScrollThumbPosition);
        const auto untouched = countPixels(d, notWhite);
        d.userSlide(D::kSliderY, 0, ui::kScrollPageDown);
        d.userSlide(D::kSliderZ, 0, ui::kScrollThumbTrack);
        EXPECT_LT(countPixels(d, notWhite), untouched * 3 / 4);
    });
}

// With "Probe" on, a left click labels the nodes in its square instead of turning the model, and
// switching the probe off clears them. Node 1 (the origin corner) lies on the three faces turned
// away from a view from +z: Numeric and the probe leave it out until the model is turned to show it.
TEST_F(ResultsWindow, TheProbeAndNumericLabelOnlyTheNodesTheCameraSees) {
    run([this](D& d) {
        choose(d, "Von Mises Stress");
        // Turn the model so node 5 (1, 1, 1) shows, then find where it lands.
        d.glControl().camera().trackball().add(dragRotation(0, 0, -0.3, -0.3));
        d.userClick(D::kProbe);
        const auto& nodes = displayState().triangles.nodes;
        const auto v = static_cast<std::size_t>(std::find(nodes.begin(), nodes.end(), 5) - nodes.begin());
        ASSERT_LT(v, nodes.size());
        const auto& positions = d.scene().positions();
        WindowPoint p;
        ASSERT_TRUE(d.glControl().camera().project(
            {positions[3 * v], positions[3 * v + 1], positions[3 * v + 2]}, p));
        const int before = countPixels(d, labelGrey);
        const Quaternion rotation = d.glControl().camera().trackball().rotation();
        d.glControl().OnMouseMove(p.x + 1, p.y - 1, 0);
        d.glControl().OnLButtonDown(p.x + 1, p.y - 1);
        d.glControl().OnMouseMove(p.x + 2, p.y + 1, kLeftButton);
        d.glControl().OnLButtonUp(p.x + 2, p.y + 1);
        EXPECT_EQ(d.glControl().camera().trackball().rotation(), rotation);
        const auto& states = mesh_solve::libraryMesh().nodeStates();
        EXPECT_EQ(std::string(states.begin() + 1, states.end()), std::string(4, kVisible) + "p");
        EXPECT_GT(countPixels(d, labelGrey), before + 10) << "the label \"100\" in grey";
        d.userClick(D::kProbe);
        d.userClick(D::kProbe);
        EXPECT_EQ(states[5], kVisible);

        d.userClick(D::kNumeric);
        EXPECT_GT(countPixels(d, labelGrey), before + 40);
        for (char state : states) EXPECT_NE(state, kLabelled);
        auto labels = [&d](const render::SceneFrame& frame) {
            std::vector<std::string> texts;
            for (const auto& label : frame.numberLabels) texts.push_back(label.text);
            std::sort(texts.begin(), texts.end());
            return texts;
        };
        const auto frame = d.scene().frame(d.glControl().camera());
        EXPECT_EQ(labels(frame), (std::vector<std::string>{"100", "20", "30", "40"}));
        // The list is compiled once: another frame of the same view hands over the same version.
        EXPECT_EQ(d.scene().frame(d.glControl().camera()).numberListVersion, frame.numberListVersion);
        // Seen along (1, 1, 1), from beyond the origin corner, the three faces at node 1 turn to
        // the viewer and node 5 goes behind them (from further away: the corners would lie
        // outside the window, where nothing is labelled).
        GlCamera& camera = d.glControl().camera();
        camera.trackball() = Trackball();
        camera.trackball().resize(camera.width(), camera.height());
        const double half = std::acos(-1 / std::sqrt(3.0)) / 2;
        camera.trackball().add(
            {-std::sin(half) / std::sqrt(2.0), std::sin(half) / std::sqrt(2.0), 0, std::cos(half)});
        for (int notch = 0; notch < 10; ++notch) camera.wheel(false);
        const auto turned = d.scene().frame(camera);
        EXPECT_NE(turned.numberListVersion, frame.numberListVersion);
        EXPECT_EQ(labels(turned), (std::vector<std::string>{"10", "20", "30", "40"}));
        choose(d, "Mesh");
        const auto numbers = d.scene().frame(camera);
        EXPECT_NE(numbers.numberListVersion, turned.numberListVersion);
        EXPECT_EQ(labels(numbers), (std::vector<std::string>{"1", "2", "3", "4"}))
            << "node numbers on the mesh";

        // A probe drag across the whole window picks the seen nodes only.
        d.userClick(D::kNumeric);
        const ui::Rect r = d.glControl().windowRect();
        d.glControl().OnLButtonDown(0, 0);
        d.glControl().OnLButtonUp(r.width(), r.height());
        EXPECT_EQ(std::string(states.begin() + 1, states.end()), "pppp" + std::string(1, kVisible));
    });
}

TEST_F(ResultsWindow, QuadraticFacesAreOutlinedOnTheirBoundaryOnly) {
    // The view looks at face 3 of the quadratic tetrahedron.
    results_test::writeMesh(explorer->document().meshPath(),
                            results_test::quadraticTetrahedron({1, 2, 3, 4}));
    run([this](D& d) {
        d.glControl().runFrames(1);
        const auto pixels = d.glControl().pixels();
        const int w = d.glControl().windowRect().width();
        // Any black pixel within two pixels of where a model point lands.
        auto edgeNear = [&](std::array<float, 3> model) {
            WindowPoint p;
            EXPECT_TRUE(d.glControl().camera().project(
                {(model[0] - 0.5f) * 5, (model[1] - 0.5f) * 5, (model[2] - 0.5f) * 5}, p));
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    const std::size_t i =
                        (static_cast<std::size_t>(p.y + dy) * w + static_cast<std::size_t>(p.x + dx)) * 4;
                    if (black({pixels.at(i), pixels.at(i + 1), pixels.at(i + 2)})) return true;
                }
            return false;
        };
        EXPECT_TRUE(edgeNear({0.75f, 0.25f, 0})) << "corner 3 to mid-side node 4";
        EXPECT_TRUE(edgeNear({0.25f, 0, 0.75f})) << "mid-side node 8 to corner 10";
        EXPECT_FALSE(edgeNear({0.25f, 0.5f, 0.25f})) << "mid-side nodes 4 to 9: inside the face";
        EXPECT_FALSE(edgeNear({0.5f, 0.25f, 0.25f})) << "mid-side nodes 4 to 8: inside the face";
    });
}

TEST_F(ResultsWindow, NaturalFrequenciesShowTheMeshAtPositionZeroAndTheModeWithItsFrequency) {
    writeHeader(3);
    writeFile(
        explorer->document().jobBasePath() + ".out",
        "MESHFILE\nx.meb\nNATU\n 12.5 40.25\nEIGE 1\n1 0 0 0\n2 0.1 0 0\n3 0 0.1 0\n4 0 0 0.1\n5 0.1 0.1 "
        "0.1\n\nEIGE 2\n1 0 0 0\n2 0 0 0\n3 0 0 0\n4 0 0 0\n5 0 0 1\n\n");
    run([](D& d) {
        EXPECT_EQ(d.itemCount(D::kQuantityList), 2);
        choose(d, "Mesh");
        EXPECT_EQ(displayState().kind, kKindMesh);
        EXPECT_TRUE(d.scene().meshOnly());
        EXPECT_EQ(d.text(D::kModeValue), "");
        d.userType(D::kStep, "2");
        choose(d, "Natural frequency");
        EXPECT_EQ(displayState().kind, kKindModeShape);
        EXPECT_EQ(d.text(D::kModeValue), "natural freq. = 40.25 Hz");
        // Scale 0 on a mode shape: a tenth of the model size (the box diagonal, sqrt 3).
        EXPECT_NEAR(d.displacementFactor(), 0.1 * std::sqrt(3.0), 1e-9);
        // A mode the run does not have keeps the last picture and its frequency, and says so.
        d.userType(D::kStep, "9");
        d.userClick(D::kPlot);
        EXPECT_EQ(d.text(D::kModeValue), "natural freq. = 40.25 Hz");
        EXPECT_EQ(displayState().kind, kKindModeShape);
    });
    EXPECT_EQ(prompts->messageTexts(),
              std::vector<std::string>{"mode or step number too high: the run has 2 modes"});
}

// A step or scale that is not a number is refused naming its box; the plot stays as it was.
TEST_F(ResultsWindow, AStepOrScaleThatIsNotANumberIsRefusedNamingTheBox) {
    run([this](D& d) {
        choose(d, "Von Mises Stress");
        const std::string max = d.text(D::kMax);
        d.userType(D::kStep, "abc");
        choose(d, "X Displacement");
        d.userType(D::kStep, "1.5");
        d.userClick(D::kPlot);
        d.userType(D::kStep, " 1 ");
        d.userType(D::kScale, "abc");
        d.userClick(D::kPlot);
        d.userClick(D::kAnimate);
        EXPECT_FALSE(d.isChecked(D::kAnimate) || displayState().animate);
        EXPECT_EQ(prompts->messageTexts(),
                  (std::vector<std::string>{"Step/Mode No.: \"abc\" is not a number.",
                                            "Step/Mode No.: \"1.5\" is not a number.",
                                            "Displacement Scale: \"abc\" is not a number.",
                                            "Displacement Scale: \"abc\" is not a number."}));
        EXPECT_EQ(displayState().kind, kKindStress);
        EXPECT_EQ(d.text(D::kMax), max);
        // Numbers with blanks around them, and an empty box (its default), are taken.
        d.userType(D::kScale, " 2e-1 ");
        d.userClick(D::kPlot);
        EXPECT_EQ(displayState().kind, kKindDisplacement);
        EXPECT_DOUBLE_EQ(d.displacementFactor(), 0.2);
        d.userType(D::kScale, "");
        d.userClick(D::kPlot);
        EXPECT_EQ(prompts->messageTexts().size(), 4u);
    });
}

TEST_F(ResultsWindow, AnimationRunsTheCounterUpAndDownOneStepPerFrame) {
    run([](D& d) {
        d.userType(D::kScale, "2");
        choose(d, "Von Mises Stress");
        const float fullX = d.scene().positions()[0];
        d.userClick(D::kAnimate);
        d.glControl().runFrames(10);
        EXPECT_EQ(d.scene().animationCounter(), 10);
        EXPECT_NE(d.scene().positions()[0], fullX) << "factor 0 at the top of the counter";
        d.glControl().runFrames(10);
        EXPECT_EQ(d.scene().animationCounter(), 0);
        EXPECT_FLOAT_EQ(d.scene().positions()[0], fullX);
        d.glControl().runFrames(3);
        EXPECT_EQ(d.scene().animationCounter(), 3);
    });
}

// A window draws only when a frame would differ from the last one, or while animating.
TEST_F(ResultsWindow, AFrameIsWantedOnlyAfterAChangeOrWhileAnimating) {
    run([](D& d) {
        COpenGLControl& gl = d.glControl();
        gl.runFrames(1);
        EXPECT_FALSE(gl.frameWanted());
        const std::vector<std::function<void()>> changes{
            [&] { gl.OnMouseWheel(true); },
            [&] { gl.OnMouseMove(100, 100, kLeftButton), gl.OnMouseMove(130, 110, kLeftButton); },
            [&] { d.userClick(D::kZoomToFit); },
            [&] { choose(d, "Von Mises Stress"); },
            [&] { d.userClick(D::kSmooth); },
            [&] { d.userClick(D::kNumeric); },
            [&] { d.OnSize(800, 600); },
        };
        for (std::size_t i = 0; i < changes.size(); ++i) {
            changes[i]();
            EXPECT_TRUE(gl.frameWanted()) << "change " << i;
            gl.runFrames(1);
            EXPECT_FALSE(gl.frameWanted()) << "after change " << i;
        }
        d.userClick(D::kAnimate);
        for (int i = 0; i < 3; ++i) {
            gl.runFrames(1);
            EXPECT_TRUE(gl.frameWanted());
        }
        d.userClick(D::kAnimate);
        gl.runFrames(1);
        EXPECT_FALSE(gl.frameWanted());
    });
}

TEST_F(ResultsWindow, ResizingKeepsTenPixelsRightAndBelowTheControl) {
    run([](D& d) {
        const ui::Rect before = d.glControl().windowRect();
        d.OnSize(800, 600);
        const ui::Rect after = d.glControl().windowRect();
        EXPECT_EQ((std::array{after.left, after.top, after.right, after.bottom}),
                  (std::array{before.left, before.top, 790, 590}));
        EXPECT_EQ(d.glControl().camera().width(), 790 - before.left);
        // A window system's resize of the dialog reaches the same rule through the control.
        static_cast<render::ISceneView&>(d.glControl()).containerResized(900, 650);
        EXPECT_EQ(d.glControl().placement(), (std::array{before.left, before.top, 890, 640}));
    });
}

// A PDF page's one picture: its pixel size, the inflated RGB bytes and the matrix that places it.
struct PdfPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    std::string placement;
};

PdfPicture readPdfPicture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    PdfPicture picture;
    const std::size_t image = pdf.find("/Subtype /Image /Width ");
    if (image == std::string::npos) return picture;
    std::size_t length = 0;
    std::sscanf(pdf.c_str() + image, "/Subtype /Image /Width %d /Height %d", &picture.width, &picture.height);
    std::sscanf(pdf.c_str() + pdf.find("/Length ", image), "/Length %zu", &length);
    const std::size_t data = pdf.find("stream\n", image) + 7;
    uLongf size = static_cast<uLongf>(picture.width) * picture.height * 3;
    picture.rgb.resize(size);
    if (uncompress(picture.rgb.data(), &size, reinterpret_cast<const Bytef*>(pdf.data() + data), length) !=
        Z_OK)
        picture.rgb.clear();
    picture.rgb.resize(size);
    const std::size_t q = pdf.find("\nq ");
    if (q != std::string::npos) picture.placement = pdf.substr(q + 1, pdf.find(" Do Q", q) - q - 1);
    return picture;
}

TEST(PrintScale, IsTheLargestPowerOfTwoThatFits) {
    EXPECT_EQ(render::powerOfTwoFit(100, 50, 842, 595), 8);     // 800 x 400
    EXPECT_EQ(render::powerOfTwoFit(842, 595, 842, 595), 1);    // exactly the page
    EXPECT_EQ(render::powerOfTwoFit(843, 10, 842, 595), 0.5);   // one point too wide
    EXPECT_EQ(render::powerOfTwoFit(10, 1200, 1240, 1754), 1);  // the height decides
    EXPECT_EQ(render::powerOfTwoFit(0, 10, 842, 595), 0);
    EXPECT_EQ(render::powerOfTwoFit(10, 10, 0, 595), 0);
}

// Headless, the window prints its own frame: at half size (its 682 rows do not fit the 595 of the
// landscape page), at the page's top left, the picture's bytes intact.
TEST_F(ResultsWindow, PrintPutsThePictureAtTheTopLeftOfOnePage) {
    prompts->queuePrint(ui::PrintTarget{picture("print.pdf")});
    std::vector<std::uint8_t> frame;
    ui::Rect r;
    run([&](D& d) {
        d.userClick(D::kPrint);
        r = d.glControl().windowRect();
        d.glControl().runFrames(1);
        const auto rgba = d.glControl().pixels();
        for (std::size_t p = 0; p + 3 < rgba.size(); p += 4)
            frame.insert(frame.end(), &rgba[p], &rgba[p] + 3);
    });
    const PdfPicture page = readPdfPicture(picture("print.pdf"));
    EXPECT_EQ((std::array{page.width, page.height}), (std::array{r.width(), r.height()}));
    ASSERT_EQ(page.rgb.size(), frame.size());
    EXPECT_TRUE(page.rgb == frame) << "the page holds the frame's pixels";
    char placed[96];
    std::snprintf(placed, sizeof placed, "q %.2f 0 0 %.2f 0.00 %.2f cm /Im1", r.width() / 2.0,
                  r.height() / 2.0, 595 - r.height() / 2.0);
    EXPECT_EQ(page.placement, placed);
}

// A capture that fails, a job that cannot start and a cancelled dialog each end the print (the
// main window's capture on the page: tests/host_app/gui/results_window.run and its check).
TEST_F(ResultsWindow, PrintSaysWhyThereIsNoPage) {
    bool captureWorks = true;
    ui::setMainWindowCapture([&]() -> std::optional<ui::ScreenPicture> {
        if (!captureWorks) return std::nullopt;
        return ui::ScreenPicture{2, 2, std::vector<std::uint8_t>(12, 0)};
    });
    prompts->queuePrint(ui::PrintTarget{""});
    prompts->queuePrint(std::nullopt);
    prompts->queuePrint(ui::PrintTarget{picture("failed.pdf")});
    run([&](D& d) {
        d.userClick(D::kPrint);
        d.userClick(D::kPrint);
        captureWorks = false;
        d.userClick(D::kPrint);
    });
    ui::setMainWindowCapture({});
    EXPECT_EQ(prompts->messageTexts(), (std::vector<std::string>{D::kPrintNotStarted, D::kCaptureFailed}));
    EXPECT_FALSE(std::filesystem::exists(picture("failed.pdf")));
    // Headless without a renderer there is no picture either.
    render::setSceneRendererFactory(nullptr);
    prompts->clearMessages();
    prompts->queuePrint(ui::PrintTarget{picture("none.pdf")});
    run([](D& d) { d.userClick(D::kPrint); });
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{D::kCaptureFailed});
}

}  // namespace
