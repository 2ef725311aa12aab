// The mesher's reading of the solver input: the sections it uses among those it passes over, and
// the messages for damaged sections.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>
#include <vector>

#include "solver_input_reader.h"
#include "support/format_files.h"
#include "velgrin_error.h"

namespace velgrin {
namespace {

MeshJob read(const std::string& text) {
    std::istringstream in(text);
    return readSolverInput(in, "job.txt");
}

// The message of the failure reading `text` gives; empty when it reads.
std::string failure(const std::string& text) {
    try {
        read(text);
    } catch (const VelgrinError& error) {
        EXPECT_EQ(error.code(), ExitCode::BadInput);
        return error.what();
    }
    return {};
}

// The shared golden solver input: a plasticity solve with every section.
const std::string kSolveInput = golden::bytes("solver_input.txt");

TEST(SolverInputReader, ReadsTheMesherSectionsAmongTheSolverOnes) {
    const MeshJob job = read(kSolveInput);
    EXPECT_EQ(job.unitText, "in");
    EXPECT_DOUBLE_EQ(job.scale, 0.03937);
    EXPECT_EQ(job.stepPath, "/p/dump.stp");
    EXPECT_EQ(job.meshPath, "/p/case 1.meb");
    const MesherSettings& s = job.settings;
    EXPECT_TRUE(job.hasSettingsLine);
    EXPECT_EQ((std::vector<double>{s.upperSize, s.lowerSize, s.fineness, s.grading, s.closeEdgeFactor}),
              (std::vector<double>{50, 0.5, 0.75, 1, 0.2}));
    EXPECT_EQ((std::vector<int>{s.curveElements, s.edgeElements, s.surfaceSteps, s.volumeSteps, s.order}),
              (std::vector<int>{3, 4, 5, 6, 0}));
    EXPECT_EQ(job.nodesPerElement, 4) << "the settings' linear order wins over the header's nod=10";
    // Each ESIZE line's target, entity, size and line; the point's coordinates are checked alone.
    std::vector<std::tuple<LocalSizeTarget, int, double, int>> sizes;
    for (const LocalSize& l : job.localSizes) sizes.emplace_back(l.target, l.entity, l.size, l.line);
    EXPECT_EQ(sizes, (std::vector<std::tuple<LocalSizeTarget, int, double, int>>{
                         {LocalSizeTarget::Face, 3, 2.5, 18},
                         {LocalSizeTarget::Edge, 12, 1.0, 19},
                         {LocalSizeTarget::Point, 0, 0.25, 20}}));
    ASSERT_EQ(job.localSizes.size(), 3u);
    EXPECT_EQ(job.localSizes[2].point, (std::array<double, 3>{-1.5, 2, 30}));
}

TEST(SolverInputReader, ToleratesCarriageReturnsEmptySettingsAndZeroSizes) {
    std::string text =
        "HEADER\r\n0.001 mm scale=1 nod=4 elem=0 ana=0\r\nMODEL\r\n/p/a.stp\r\nMFILE\r\n/p/a.meb\r\n"
        "TABLES\r\nMSET\r\nMATERIALS\r\nESIZE\r\nbos 1 0.000000\r\nbos 2 1.000000\r\nLOADS\r\n";
    const MeshJob job = read(text);
    EXPECT_EQ(job.meshPath, "/p/a.meb");
    EXPECT_FALSE(job.hasSettingsLine);
    EXPECT_EQ(job.nodesPerElement, 4);
    ASSERT_EQ(job.localSizes.size(), 1u);
    EXPECT_EQ(job.localSizes[0].entity, 2);
    ASSERT_EQ(job.notes.size(), 2u);
    EXPECT_NE(job.notes[0].find("default settings"), std::string::npos);
    EXPECT_NE(job.notes[1].find("ESIZE line 11 skipped"), std::string::npos) << job.notes[1];
}

// Each damage to the golden input (text replaced) and a part of the message it gives.
TEST(SolverInputReader, NamesTheSectionAndLineAtFault) {
    struct Case {
        const char* from;
        const char* to;
        const char* message;
    };
    for (const Case& c :
         {Case{"HEADER\n", "", "has no HEADER section"},
          Case{"MODEL\n/p/dump.stp\n", "MODEL\n\n", "empty MODEL section"},
          Case{"ESIZE\n", "", "has no ESIZE section"},
          Case{"scale=0.03937", "scale=0", "scale is not a positive number"},
          Case{"nod=10", "nod=7", "must be 4 or 10"},
          Case{" 50 0.5 0.75 1 0.2 3 4 5 6 0 0", " 50 0.5 0.75", "MSET line 14"},
          Case{" 50 0.5 0.75", " 50 60 0.75", "lower size exceeds"},
          Case{"6 0 0\n", "6 2 0\n", "order (field 10)"},
          Case{"pxs -1.5,2,3e1", "pxs -1.5,2", "ESIZE line 20"}, Case{"eos 12", "eos 1.5", "whole number"},
          Case{"bos 3 2.500000", "bos 3", "a code, an entity and a size"},
          Case{"bos 3 2.500000", "xos 3 2.500000", "the code must be bos, eos or pxs"},
          Case{" 50 0.5 0.75", " 50 abc 0.75", "bad MSET line"}}) {
        std::string text = kSolveInput;
        const std::string from = c.from;
        ASSERT_NE(text.find(from), std::string::npos) << from;
        text.replace(text.find(from), from.size(), c.to);
        EXPECT_NE(failure(text).find(c.message), std::string::npos) << c.message;
    }
}

}  // namespace
}  // namespace velgrin
