// The mesher's reading of the solver input: the sections it uses among those it passes over, and
// the messages for damaged sections.
#include <gtest/gtest.h>

#include <sstream>

#include "length_unit.h"
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
    EXPECT_DOUBLE_EQ(s.upperSize, 50);
    EXPECT_DOUBLE_EQ(s.lowerSize, 0.5);
    EXPECT_DOUBLE_EQ(s.fineness, 0.75);
    EXPECT_DOUBLE_EQ(s.grading, 1);
    EXPECT_DOUBLE_EQ(s.closeEdgeFactor, 0.2);
    EXPECT_EQ(s.curveElements, 3);
    EXPECT_EQ(s.edgeElements, 4);
    EXPECT_EQ(s.surfaceSteps, 5);
    EXPECT_EQ(s.volumeSteps, 6);
    EXPECT_EQ(s.order, 0);
    EXPECT_EQ(job.nodesPerElement, 4) << "the settings' linear order wins over the header's nod=10";
    ASSERT_EQ(job.localSizes.size(), 3u);
    EXPECT_EQ(job.localSizes[0].target, LocalSizeTarget::Face);
    EXPECT_EQ(job.localSizes[0].entity, 3);
    EXPECT_DOUBLE_EQ(job.localSizes[0].size, 2.5);
    EXPECT_EQ(job.localSizes[1].target, LocalSizeTarget::Edge);
    EXPECT_EQ(job.localSizes[1].entity, 12);
    EXPECT_EQ(job.localSizes[2].target, LocalSizeTarget::Point);
    EXPECT_EQ(job.localSizes[2].point, (std::array<double, 3>{-1.5, 2, 30}));
    EXPECT_EQ(job.localSizes[2].line, 20);
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

TEST(SolverInputReader, NamesTheSectionAndLineAtFault) {
    auto replaced = [](std::string from, std::string to) {
        std::string text = kSolveInput;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    EXPECT_NE(failure(replaced("HEADER\n", "")).find("has no HEADER section"), std::string::npos);
    EXPECT_NE(failure(replaced("MODEL\n/p/dump.stp\n", "MODEL\n\n")).find("empty MODEL section"),
              std::string::npos);
    EXPECT_NE(failure(replaced("ESIZE\n", "")).find("has no ESIZE section"), std::string::npos);
    EXPECT_NE(failure(replaced("scale=0.03937", "scale=0")).find("scale is not a positive number"),
              std::string::npos);
    EXPECT_NE(failure(replaced("nod=10", "nod=7")).find("must be 4 or 10"), std::string::npos);
    EXPECT_NE(failure(replaced(" 50 0.5 0.75 1 0.2 3 4 5 6 0 0", " 50 0.5 0.75")).find("MSET line 14"),
              std::string::npos);
    EXPECT_NE(failure(replaced(" 50 0.5 0.75", " 50 60 0.75")).find("lower size exceeds"), std::string::npos);
    EXPECT_NE(failure(replaced("6 0 0\n", "6 2 0\n")).find("order (field 10)"), std::string::npos);
    EXPECT_NE(failure(replaced("pxs -1.5,2,3e1", "pxs -1.5,2")).find("ESIZE line 20"), std::string::npos);
    EXPECT_NE(failure(replaced("eos 12", "eos 1.5")).find("whole number"), std::string::npos);
    EXPECT_NE(failure(replaced("bos 3 2.500000", "bos 3")).find("a code, an entity and a size"),
              std::string::npos);
}

TEST(LengthUnit, DisplayUnitsPerMillimetre) {
    EXPECT_DOUBLE_EQ(displayUnitsPerMillimetre("mm"), 1);
    EXPECT_DOUBLE_EQ(displayUnitsPerMillimetre("cm"), 0.1);
    EXPECT_DOUBLE_EQ(displayUnitsPerMillimetre("m."), 0.001);
    EXPECT_DOUBLE_EQ(displayUnitsPerMillimetre("in"), 1 / 25.4);
    EXPECT_DOUBLE_EQ(displayUnitsPerMillimetre("ft"), 1 / 304.8);
    EXPECT_DOUBLE_EQ(displayUnitsPerMillimetre("??"), 0.001);
}

}  // namespace
}  // namespace velgrin
