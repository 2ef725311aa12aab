// kolvane-host scripts drive the add-on's results window: "frames" runs its timer ticks and
// "snapshot" photographs its OpenGL view inside an on-modal "FEA Results" block.
#include <gtest/gtest.h>

#include <filesystem>

#include "host_run.h"
#include "results/contour_fixture.h"
#include "support/scratch_folder.h"

namespace {

// A mechanical loadcase "Steel" on the bracket, the toolbox's "Pop-out" checked, and the solved
// files of two tetrahedra in its project folder before "Plot" opens the window.
const std::string kOpen =
    "open $KOLVANE_SAMPLES/bracket.step\nmenu \"FEM Explorer\"\nmenu Loadcase\ntype 11066 Steel\n"
    "click Mechanical\nclick APPLY\nin \"\"\nclick 11006\nin\n";

class ResultsWindowScript : public ::testing::Test {
  protected:
    void writeSolvedFiles() {
        const std::string project = folder.projectFolder("bracket");
        std::filesystem::create_directories(project);
        results_test::writeMesh(project + "/Steel.meb", results_test::twoTetrahedra());
        writeFile(project + "/Steel.out", results_test::twoTetrahedraStresses());
    }
    HostRunFolder folder;
};

// Frames and snapshots inside the window's block; then the time graph opened from the window:
// nodes typed in the node prompt, the graph printed to a PNG page and a series saved, all answered
// by the script.
TEST_F(ResultsWindowScript, FramesSnapshotsAndTheTimeGraphInsideTheWindowsBlock) {
    writeSolvedFiles();
    const auto run = folder.run(kOpen +
                                "on-modal \"FEA Results\"\n"
                                "choose 1001 \"Von Mises Stress\"\n"
                                "expect-text 11035 \"Max. 100 N/mm2\"\n"
                                "click 1009\n"
                                "frames 5\n"
                                "snapshot stress.png 320 240\n"
                                "snapshot stress-default.png\n"
                                "on-modal \"Time History Graph\"\n"
                                "on-modal \" \"\n"
                                "type 11 \"2, 5\"\n"
                                "accept\n"
                                "end\n"
                                "click \"Fetch nodal data\"\n"
                                "answer-print graph.png\n"
                                "click Print\n"
                                "answer-file node5.txt\n"
                                "click \"Save to File\"\n"
                                "end\n"
                                "click \"Time Graph\"\n"
                                "end\n"
                                "menu Plot\n");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out.find("message:"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("picture: " + folder.path("out/stress.png")), std::string::npos) << run.out;
    EXPECT_GT(std::filesystem::file_size(folder.path("out/stress.png")), 1000u);
    EXPECT_TRUE(std::filesystem::exists(folder.path("out/stress-default.png")));
    EXPECT_GT(std::filesystem::file_size(folder.path("out/graph.png")), 2000u);
    // The newest series (node 5, von Mises of a uniaxial 100) is the selected one.
    EXPECT_EQ(HostRunFolder::read(folder.path("out/node5.txt")), "1.000000\t100.000000\n");
}

TEST_F(ResultsWindowScript, BadCountsSizesAndDialogsWithoutAViewAreLineErrors) {
    const auto count = folder.run(kOpen + "on-modal \"FEA Results\"\nframes many\nend\nmenu Plot\n");
    EXPECT_NE(count.status, 0);
    EXPECT_NE((count.out + count.err).find("usage: frames N"), std::string::npos) << count.out << count.err;
    const auto size = folder.run(kOpen + "on-modal \"FEA Results\"\nsnapshot a.png 5 5\nend\nmenu Plot\n");
    EXPECT_NE((size.out + size.err).find("picture size out of range"), std::string::npos)
        << size.out << size.err;
    const auto noView = folder.run(kOpen + "menu Loadcase\nframes 1\n");
    EXPECT_NE((noView.out + noView.err).find("has no OpenGL view"), std::string::npos)
        << noView.out << noView.err;
}

}  // namespace
