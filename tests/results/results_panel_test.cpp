// The results panel the two displays share, driven in each of them: the contours in the host view
// and the results window. Opening, the texts and limits of a plot, LINEAR and APPLY, the time graph,
// and what a user sees when the mesh file or the result file holds nothing to show.
#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <functional>

#include "addon/command_factory.h"
#include "contour_fixture.h"
#include "results/ogl_results_dialog.h"
#include "results/results_panel.h"

namespace {

using namespace results;
using P = CResultsPanel;

enum class Display { HostView, Window };

class ResultsPanels : public ::testing::TestWithParam<Display>, public results_test::ContourFixture {
  public:
    bool hostView() const { return GetParam() == Display::HostView; }
    // Opens the display and runs `script` on its panel while it is open.
    void open(const std::function<void(P&)>& script) {
        if (hostView()) {
            script(start());
            return;
        }
        prompts->queueModal("FEA Results", [script](ui::Dialog& d) { script(static_cast<P&>(d)); });
        addon::openResultsWindow(explorer->document());
    }
    static void plot(P& p, const std::string& text) {
        p.userChoose(p.ids().quantityList, p.findItemExact(p.ids().quantityList, text));
    }
    std::string dumpPath() const { return explorer->document().projectFolder() + "/check.mes"; }
    // The host view puts a block numbered too high into the caption, the window into a message box.
};

std::string displayName(const ::testing::TestParamInfo<Display>& display) {
    return display.param == Display::HostView ? "HostView" : "Window";
}

INSTANTIATE_TEST_SUITE_P(BothDisplays, ResultsPanels, ::testing::Values(Display::HostView, Display::Window),
                         displayName);

TEST_P(ResultsPanels, OpensWithTheLoadcasesQuantitiesAndTheSlidersAtTheTop) {
    open([](P& p) {
        EXPECT_EQ(p.itemCount(p.ids().quantityList), 25);
        for (int id : {int{P::kSliderX}, int{P::kSliderY}, int{P::kSliderZ}}) {
            EXPECT_EQ(p.position(id), 100);
            EXPECT_FALSE(p.isEnabled(id));
        }
    });
}

TEST_P(ResultsPanels, PlotShowsTheRangeAndLinearAndApplyChangeTheInnerLimits) {
    open([](P& p) {
        p.userType(P::kStep, "0");
        plot(p, "Von Mises Stress");
        EXPECT_EQ(p.stepNumber(), 1);
        EXPECT_EQ(p.text(P::kMax), "Max. 100 N/mm2");
        EXPECT_EQ(p.text(P::kMin), "Min. 10");
        EXPECT_EQ(p.text(P::kLimitEdits[8]), "19");  // L1
        EXPECT_EQ(p.text(P::kLimitEdits[0]), "91");  // L9
        p.userType(P::kLimitEdits[8], "20");
        p.userType(P::kLimitEdits[0], "60");
        p.userClick(P::kLinear);
        EXPECT_EQ(p.text(P::kLimitEdits[4]), "40");  // L5
        EXPECT_NEAR(displayState().limits[0], 10, 1e-9);
        EXPECT_NEAR(displayState().limits[10], 100, 1e-9);
        p.userType(P::kLimitEdits[4], "45");
        p.userClick(P::kApply);
        EXPECT_EQ(displayState().limits[5], 45);
    });
}

// Blocks are searched forward by number. A step past the run's last, a gap in the numbering
// (a run printed every second step: block 2 comes first when step 1 is asked for, 3 lies between
// 2 and 4) or a missing result file is said in words, a gap with the steps the run wrote, and the
// last picture stays: zeros drawn as a result would look like one.
TEST_P(ResultsPanels, AMissingBlockOrFileKeepsTheLastPictureAndSaysWhy) {
    const std::string out = explorer->document().jobBasePath() + ".out";
    const auto blocks = [](int last) {
        std::string text = "MESHFILE\nx.meb\n";
        for (int step = 2; step <= last; step += 2)
            text += "DISP " + std::to_string(step) + "\n1 1 1 1\n2 1 1 1\n\n";
        return text;
    };
    writeFile(out, blocks(4));
    open([&](P& p) {
        p.userType(P::kStep, "2");
        plot(p, "X Displacement");
        EXPECT_EQ(p.text(P::kMax), "Max. 1 mm");
        p.userType(P::kStep, "5");
        p.userClick(p.ids().plot);
        EXPECT_EQ(prompts->messageTexts().back(),
                  "mode or step number too high: the last step of the run is 4");
        EXPECT_EQ(p.text(P::kMax), "Max. 1 mm");
        EXPECT_NEAR(displayState().limits[10], 1, 1e-9);
        for (const char* gap : {"1", "3"}) {
            p.userType(P::kStep, gap);
            p.userClick(p.ids().plot);
            if (hostView()) {
                EXPECT_EQ(p.windowText(), "modenumber too high");
            }
            EXPECT_EQ(prompts->messageTexts().back(),
                      std::string(CoglMFCDialogDlg::kTooHigh) + ": the run wrote steps 2, 4");
        }
        writeFile(out, blocks(20));
        p.userClick(p.ids().plot);
        EXPECT_EQ(prompts->messageTexts().back(),
                  std::string(CoglMFCDialogDlg::kTooHigh) +
                      ": the run wrote steps 2, 4, 6, 8, ..., 14, 16, 18, 20");
        std::filesystem::remove(out);
        plot(p, "Von Mises Stress");
        EXPECT_EQ(prompts->messageTexts().back(),
                  "no results: " + out + " does not exist; solve the loadcase first");
        EXPECT_EQ(p.text(P::kMax), "Max. 1 mm");
        EXPECT_EQ(displayState().kind, kKindDisplacement);
    });
}

// The unit of the Max text follows the length unit of the host's document and the quantity.
TEST_P(ResultsPanels, TheMaxTextCarriesTheQuantitysUnit) {
    struct Case {
        const char* lengthUnit;
        const char* quantity;
        const char* max;
    };
    open([](P& p) {
        for (const Case& c :
             {Case{"in", "Von Mises Stress", "Max. 100 lbf/in2"}, Case{"m.", "X Stress", "Max. 100 N/m2"},
              Case{"ft", "X Stress", "Max. 100 "}, Case{"cm", "X Displacement", "Max. 0.1 cm"}}) {
            addon::library().unitText = c.lengthUnit;
            plot(p, c.quantity);
            EXPECT_EQ(p.text(P::kMax), c.max) << c.lengthUnit << " " << c.quantity;
        }
    });
}

// A transient flow (its seven quantities) and a transient heat run (temperatures and heat flux),
// each quantity read at the printed step asked for, with its unit in the Max text and in the host
// view's legend; their time graphs. A heat run of an older solver, which wrote no heat flux, offers
// its temperatures only.
TEST_P(ResultsPanels, TransientRunsShowTheirQuantitiesAtEachPrintedStepWithTheirUnits) {
    struct Case {
        const char* quantity;
        const char* step;
        const char* max;
        const char* min;
        const char* legend;
    };
    struct Run {
        const char* name;
        std::function<void()> make;
        int items;
        std::vector<Case> cases;
    };
    const Run runs[] = {
        {"flow",
         [this] { makeFlow(); },
         7,
         {{"Speed", "10", "Max. 10 mm/s", "Min. 0", "10 Speed: mm/s"},
          {"Speed", "5", "Max. 5 mm/s", "Min. 0", "5 Speed: mm/s"},
          {"Pressure", "10", "Max. 100 N/mm2", "Min. -20", "100 Pressure: N/mm2"},
          {"Vorticity", "10", "Max. 2 1/s", "Min. 0", "2 Vorticity magnitude: 1/s"},
          {"Z Velocity", "5", "Max. 4 mm/s", "Min. -1", "4 Z velocity: mm/s"}}},
        {"heat",
         [this] { makeHeat(true); },
         6,
         {{"Temperatures", "10", "Max. 100 deg. C", "Min. -20", "100 Temperature: deg. C"},
          {"Heat Flux", "10", "Max. 10 W/mm2", "Min. 0", "10 Heat Flux: W/mm2"},
          {"X Heat Flux", "10", "Max. 3 W/mm2", "Min. 0", "3 X Heat Flux: W/mm2"},
          {"Y Heat Flux", "5", "Max. 3 W/mm2", "Min. 0", "3 Y Heat Flux: W/mm2"},
          {"Z Heat Flux", "5", "Max. 4 W/mm2", "Min. -1", "4 Z Heat Flux: W/mm2"}}},
        {"heat of an older solver",
         [this] { makeHeat(false); },
         2,
         {{"Temperatures", "5", "Max. 50 deg. C", "Min. -10", "50 Temperature: deg. C"}}},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        run.make();
        open([&](P& p) {
            EXPECT_EQ(p.itemCount(p.ids().quantityList), run.items);
            for (const Case& c : run.cases) {
                p.userType(P::kStep, c.step);
                plot(p, c.quantity);
                EXPECT_EQ(p.text(P::kMax), c.max) << c.quantity << " " << c.step;
                EXPECT_EQ(p.text(P::kMin), c.min) << c.quantity << " " << c.step;
                if (hostView()) {
                    render();
                    EXPECT_EQ(texts().at(1), c.legend);
                }
            }
            p.userClick(p.ids().timeGraph);
            EXPECT_EQ(prompts->modalRuns().back(), "Time History Graph");
        });
        if (command) command->OnTerminate();
        command = nullptr;
        EXPECT_TRUE(prompts->messageTexts().empty()) << prompts->messageTexts().front();
    }
}

TEST_P(ResultsPanels, TheTimeGraphOpensOnlyForQuantitiesWithAHistory) {
    open([this](P& p) {
        p.userClick(p.ids().timeGraph);  // "Mesh"
        EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{"No graph of this type"});
        plot(p, "Von Mises Stress");
        p.userClick(p.ids().timeGraph);
        EXPECT_EQ(prompts->modalRuns().back(), "Time History Graph");
        plot(p, "Plastic Strain");  // not in the file: said, and the last picture stays
        p.userClick(p.ids().timeGraph);
        const auto& said = prompts->messageTexts();
        EXPECT_EQ(std::count(said.begin(), said.end(), "No graph of this type"), 2);
    });
}

// A block that ends at once gives no value: the panel says so instead of showing the reader's
// starting range of +-1e15, and the host view draws the plain mesh with the same words.
TEST_P(ResultsPanels, AReadingWithoutValuesShowsNoRange) {
    writeFile(explorer->document().jobBasePath() + ".out", "MESHFILE\nx.meb\nSTRESS 1\n\n\nDISP 1\n\n");
    open([this](P& p) {
        plot(p, "Von Mises Stress");
        EXPECT_EQ(p.text(P::kMax), "No von Mises Stress values in the result file");
        EXPECT_EQ(p.text(P::kMin), "");
        for (int id : P::kLimitEdits) EXPECT_EQ(p.text(id), "0");
        if (hostView()) {
            render();
            EXPECT_EQ(texts(), std::vector<std::string>{"No von Mises Stress values in the result file"});
            EXPECT_EQ(device->draws().at(0).texture, device->textureOf(render::BuiltInTexture::MeshTexture));
        }
        plot(p, "X Displacement");
        EXPECT_EQ(p.text(P::kMax), "No X Displacement values in the result file");
    });
}

// The reader refuses a truncated mesh file: the user is told why once, the view stays empty and
// no dump of an empty mesh replaces "check.mes".
TEST_P(ResultsPanels, ADamagedMeshFileIsReportedOnceAndNotDumped) {
    results_test::writeMesh(explorer->document().meshPath(), results_test::twoTetrahedra());
    std::filesystem::resize_file(explorer->document().meshPath(), 60);
    open([this](P& p) {
        if (hostView()) {
            render();
            render();
            EXPECT_TRUE(device->draws().empty());
        } else {
            static_cast<CoglMFCDialogDlg&>(p).glControl().runFrames(2);
        }
        ASSERT_EQ(prompts->messageTexts().size(), 1u);
        EXPECT_EQ(prompts->messageTexts()[0].rfind(
                      "The mesh file \"" + explorer->document().meshPath() + "\" is damaged", 0),
                  0u)
            << prompts->messageTexts()[0];
        EXPECT_FALSE(std::filesystem::exists(dumpPath()));
        EXPECT_EQ(displayState().triangles.triangleCount(), 0u);
    });
}

// Switching to a loadcase whose mesh file is missing shows no mesh, not the previous loadcase's.
TEST_P(ResultsPanels, AMissingMeshFileAfterAnotherLoadcasesMeshShowsNothing) {
    const std::string own = explorer->document().meshPath();
    const std::string other = explorer->document().projectFolder() + "/Other.meb";
    open([&](P&) {
        EXPECT_EQ(displayState().triangles.triangleCount(), 6u);
        if (!hostView()) return;
        // The open view follows a change of mesh path at its next frame.
        render();
        explorer->document().setMeshPath(other);
        render();
        EXPECT_TRUE(device->draws().empty());
        explorer->document().setMeshPath(own);
        render();
        EXPECT_EQ(device->draws().size(), 1u);
    });
    if (command) command->OnTerminate();
    command = nullptr;
    std::filesystem::remove(dumpPath());
    explorer->document().setMeshPath(other);
    open([this](P& p) {
        if (hostView()) {
            render();
            EXPECT_TRUE(device->draws().empty());
            EXPECT_TRUE(texts().empty());
        }
        EXPECT_EQ(displayState().triangles.triangleCount(), 0u);
        EXPECT_FALSE(mesh_solve::libraryMesh().isLoaded());
        EXPECT_FALSE(std::filesystem::exists(dumpPath()));
        plot(p, "Von Mises Stress");
        EXPECT_EQ(p.text(P::kMax), "No von Mises Stress values in the result file");
    });
    EXPECT_TRUE(prompts->messageTexts().empty()) << "a missing mesh is no mesh, not an error";
}

}  // namespace
