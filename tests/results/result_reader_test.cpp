// Reading result files: node and element blocks, step and mode search, averaging, mid-side filling,
// the number rules and damaged lines.
#include <gtest/gtest.h>

#include "result_files.h"
#include <cmath>
#include <random>

#include "results/derived_stress.h"
#include "results/quantity_list.h"

namespace {

using namespace results;
using results_test::meshFileLines;
using results_test::nodeBlock;
using results_test::TestMesh;

class ResultReader : public ::testing::Test, public results_test::ResultFileTest {};

const TestMesh kThreeNodes{3, 4, {}};

std::string displacementFile() {
    return meshFileLines() + nodeBlock("DISP 1", {{1, 2, 2}, {0, 0, 0}, {-3, 0, 4}}) +
           nodeBlock("DISP 2", {{10, 20, 20}, {0, 5, 0}, {-30, 0, 40}});
}

TEST_F(ResultReader, DisplacementComponentsMagnitudeAndVectors) {
    ASSERT_EQ(read(displacementFile(), kThreeNodes, kKindDisplacement, 1), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{2, 0, 0}));
    EXPECT_EQ(out.largest, 2);
    EXPECT_EQ(out.smallest, 0);

    ASSERT_EQ(read(displacementFile(), kThreeNodes, kKindDisplacement, kItemMagnitude, 2), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{30, 5, 50}));
    EXPECT_EQ(out.smallest, 5);
    EXPECT_EQ(out.largest, 50);

    ASSERT_EQ(read(displacementFile(), kThreeNodes, kKindDisplacement, kItemVector, 2), ReadStatus::Read);
    EXPECT_EQ(out.vectors, (std::vector<double>{10, 20, 20, 0, 5, 0, -30, 0, 40}));
    // Vectors contribute 0 to the range.
    EXPECT_EQ(out.largest, 0);
    EXPECT_EQ(out.smallest, 0);
}

TEST_F(ResultReader, TemperatureAndVelocity) {
    const std::string text = meshFileLines() + nodeBlock("VELO", {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}) +
                             nodeBlock("TEMP 1", {{20}, {25.5}, {-4}});
    ASSERT_EQ(read(text, kThreeNodes, kKindTemperature, 0), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{20, 25.5, -4}));
    ASSERT_EQ(read(text, kThreeNodes, kKindVelocity, 2), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{3, 6, 9}));
}

TEST_F(ResultReader, ModeShapeKeepsTheModeValue) {
    const std::string text = meshFileLines() + "NATU\n 12.5 40.25 99\n" +
                             nodeBlock("EIGE 1", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}) +
                             nodeBlock("EIGE 2", {{3, 4, 0}, {0, 0, 0}, {0, 0, 2}});
    ASSERT_EQ(read(text, kThreeNodes, kKindModeShape, kItemMagnitude, 2), ReadStatus::Read);
    EXPECT_EQ(out.modeValue, 40.25);
    EXPECT_EQ(out.values, (std::vector<double>{5, 0, 2}));
    // A mode beyond the listed values reads its value as 0.
    read(text, kThreeNodes, kKindModeShape, kItemMagnitude, 4);
    EXPECT_EQ(out.modeValue, 0);
    // Without "NATU" the mode value is 0 and the read fails.
    out.modeValue = 7;
    EXPECT_EQ(read(nodeBlock("EIGE 1", {{1, 0, 0}}), kThreeNodes, kKindModeShape, 3), ReadStatus::Failed);
    EXPECT_EQ(out.modeValue, 0);
}

TEST_F(ResultReader, GapsInTheNumberingAndMissingBlocks) {
    const std::string gap = meshFileLines() + nodeBlock("DISP 1", {{1, 1, 1}}) + nodeBlock("DISP 2", {{2, 2, 2}}) +
                            nodeBlock("DISP 4", {{4, 4, 4}});
    EXPECT_EQ(read(gap, kThreeNodes, kKindDisplacement, 0, 3), ReadStatus::TooHigh);
    ASSERT_EQ(read(gap, kThreeNodes, kKindDisplacement, 0, 4), ReadStatus::Read);
    EXPECT_EQ(out.values[0], 4);
    const std::string two = meshFileLines() + nodeBlock("DISP 1", {{1, 1, 1}}) + nodeBlock("DISP 2", {{2, 2, 2}});
    EXPECT_EQ(read(two, kThreeNodes, kKindDisplacement, 0, 3), ReadStatus::Failed);
    EXPECT_EQ(read(two, kThreeNodes, kKindTemperature, 0), ReadStatus::Failed);
    EXPECT_EQ(read(two, kThreeNodes, kKindMesh, 0), ReadStatus::Failed);
    EXPECT_EQ(read(two, kThreeNodes, 5, 0), ReadStatus::Failed);
    EXPECT_EQ(readResult(scratch.file("missing.out"), kThreeNodes.view(), {kKindDisplacement, 0, 1, 0}, out),
              ReadStatus::Failed);
}

TEST_F(ResultReader, HeadersWithLeadingBlanksOrWithoutANumber) {
    const std::string text = "  \tDISP\n1 5 0 0\n2 6 0 0\n3 7 0 0\n\n    DISP   2 extra\n1 8 0 0\n2 9 0 0\n3 1 0 0\n";
    ASSERT_EQ(read(text, kThreeNodes, kKindDisplacement, 0, 1), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{5, 6, 7}));
    ASSERT_EQ(read(text, kThreeNodes, kKindDisplacement, 0, 2), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{8, 9, 1}));
    // "DISP 0" counts as block 1.
    ASSERT_EQ(read("DISP 0\n1 3 0 0\n", TestMesh{1, 4, {}}, kKindDisplacement, 0), ReadStatus::Read);
    EXPECT_EQ(out.values, std::vector<double>{3});
}

TEST_F(ResultReader, SemicolonsPlusSignsAndRepeatedLines) {
    // ';' reads 0 and reading goes on after the next blank; '+' does not begin a number; a line that
    // begins with ';' repeats the line before it.
    const std::string text = "DISP 1\n1 ;junk 7 +9\n2 1.5e+01 -.5 ;\n   ; comment\n";
    ASSERT_EQ(read(text, kThreeNodes, kKindDisplacement, 0), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{0, 15, 15}));
    read(text, kThreeNodes, kKindDisplacement, 1);
    EXPECT_EQ(out.values, (std::vector<double>{7, -0.5, -0.5}));
    read(text, kThreeNodes, kKindDisplacement, 2);
    EXPECT_EQ(out.values, (std::vector<double>{9, 0, 0}));
}

TEST_F(ResultReader, ShortBlocksLeaveZerosAndOverlongLinesDoNotShiftTheRest) {
    // A block that ends before the last node leaves it at 0 (and earlier readings do not linger).
    read(nodeBlock("TEMP", {{1}, {2}, {3}}), kThreeNodes, kKindTemperature, 0);
    ASSERT_EQ(read("TEMP\n1 4\n\n", kThreeNodes, kKindTemperature, 0), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{4, 0, 0}));
    // A node line is read up to its 119th character; the rest of it is passed over.
    const std::string longLine = "1 " + std::string(115, ' ') + "12345\n";
    ASSERT_EQ(read("TEMP\n" + longLine + "2 6\n3 7\n", kThreeNodes, kKindTemperature, 0), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{12, 6, 7}));
    // A line far longer than any buffer still counts as one line.
    const std::string huge = "1 8" + std::string(9 << 20, 'x') + "\n";
    ASSERT_EQ(read("TEMP\n" + huge + "2 6\n3 7\n", kThreeNodes, kKindTemperature, 0), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{8, 6, 7}));
}

// Two linear elements sharing the corner node 1.
const TestMesh kTwoTets{5, 4, {1, 2, 3, 4, 1, 3, 2, 5}};

std::string stressLine(int element, int node, double sx, double sy = 0, double sz = 0, double txy = 0) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%d %d %e %e %e %e %e %e\n", element, node, sx, sy, sz, txy, 0.0, 0.0);
    return buffer;
}

TEST_F(ResultReader, StressIsAveragedOverTheElementsAtANode) {
    std::string text = meshFileLines() + "STRESS 1\n element node sx sy sz txy tyz txz\n";
    text += stressLine(1, 1, 100) + stressLine(1, 2, 10) + stressLine(1, 3, 20) + stressLine(1, 4, 30);
    text += stressLine(2, 1, -100, 0, 0, 50) + stressLine(2, 3, 40) + stressLine(2, 2, 50) + stressLine(2, 5, 60);
    ASSERT_EQ(read(text, kTwoTets, kKindStress, kItemSigmaX), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{0, 30, 30, 30, 60}));
    EXPECT_EQ(out.hits, (std::vector<std::int32_t>{2, 2, 2, 1, 1}));
    EXPECT_EQ(out.smallest, 0);
    EXPECT_EQ(out.largest, 60);
    // Derived values are computed per corner, then averaged: von Mises at node 1 is the mean of
    // 100 and sqrt(100^2 + 3 * 50^2), not the von Mises of the averaged components.
    ASSERT_EQ(read(text, kTwoTets, kKindStress, kItemVonMises), ReadStatus::Read);
    EXPECT_NEAR(out.values[0], (100 + std::sqrt(17500.0)) / 2, 1e-3);
    // Items outside 0 to 13 add nothing.
    ASSERT_EQ(read(text, kTwoTets, kKindStress, 14), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>(5, 0.0)));
}

// A block of many megabytes is read in batches (two threads each): repeat lines at any place,
// lines naming no node of the mesh, an over-long line and the end of the block must come out as a
// plain line-by-line reading gives them.
TEST_F(ResultReader, LargeBlocksReadAsLineByLine) {
    constexpr int kNodes = 5000, kElements = 60000;  // 240,000 lines, about 20 MB
    TestMesh mesh{kNodes, 4, std::vector<std::int32_t>(4 * kElements, 1)};
    std::mt19937 random(11);
    std::vector<double> sum(kNodes, 0.0);
    std::vector<int> hits(kNodes, 0);
    std::string text = meshFileLines() + "STRESS 1\n element node sx sy sz txy tyz txz\n";
    int node = 0;
    double sx = 0;
    const int endAt = 4 * kElements - 7;  // a blank line ends the block a few lines early
    for (int l = 0; l < endAt; ++l) {
        // Repeat lines around each 4 MB of the file, where the reader's batches end.
        const bool nearBatchEnd = text.size() % (4u << 20) > (4u << 20) - 400;
        if (l > 0 && (nearBatchEnd || random() % 50 == 0)) {
            text += random() % 2 ? " ;\n" : ";\n";  // the line before stands for it
        } else if (l % 100003 == 5) {
            node = 1 + static_cast<int>(random() % kNodes);
            sx = 1.0;
            text += "1 " + std::to_string(node) + " 1.000000e+00" + std::string(300, ' ') + "7.0e+00\n";
        } else {
            node = static_cast<int>(random() % (kNodes + 11));  // 0 and above kNodes: outside the mesh
            sx = static_cast<double>(random() % 2000) - 1000.0;
            text += stressLine(l / 4 + 1, node, sx, 1.0, 2.0);
        }
        if (node >= 1 && node <= kNodes) {
            sum[static_cast<std::size_t>(node - 1)] += sx;
            hits[static_cast<std::size_t>(node - 1)] += 1;
        }
    }
    text += "\n" + stressLine(1, 1, 1e6) + stressLine(1, 1, 1e6);
    ASSERT_GT(text.size(), 12u << 20);  // more than three buffers of the line reader
    ASSERT_EQ(read(text, mesh, kKindStress, kItemSigmaX), ReadStatus::Read);
    for (int n = 0; n < kNodes; ++n) {
        ASSERT_EQ(out.hits[static_cast<std::size_t>(n)], hits[static_cast<std::size_t>(n)]) << "node " << n + 1;
        if (hits[static_cast<std::size_t>(n)] > 0) {
            ASSERT_NEAR(out.values[static_cast<std::size_t>(n)], sum[static_cast<std::size_t>(n)] / hits[static_cast<std::size_t>(n)], 1e-9)
                << "node " << n + 1;
        }
    }
}

TEST_F(ResultReader, ElementStepsByPlasticityAndOtherSolutionTypes) {
    std::string text = meshFileLines();
    for (int step : {1, 3, 5}) {
        text += "STRAIN " + std::to_string(step) + "\nfree line\n";
        for (int e = 1; e <= 2; ++e)
            for (int c = 0; c < 4; ++c)
                text += std::to_string(e) + " " + std::to_string(kTwoTets.connectivity[(e - 1) * 4 + c]) + " " +
                        std::to_string(step) + ".5 99 99\n";
    }
    // Step by step: the first header numbered 2 or more.
    ASSERT_EQ(read(text, kTwoTets, kKindPlasticStrain, 0, 2, kSolutionPlasticity), ReadStatus::Read);
    EXPECT_EQ(out.values[4], 3.5);
    // Others: the second header, whatever its number.
    ASSERT_EQ(read(text, kTwoTets, kKindPlasticStrain, 0, 3, 0), ReadStatus::Read);
    EXPECT_EQ(out.values[4], 5.5);
    EXPECT_EQ(read(text, kTwoTets, kKindPlasticStrain, 0, 4, 0), ReadStatus::Failed);
    EXPECT_EQ(read(text, kTwoTets, kKindStress, 0, 1, 0), ReadStatus::Failed);  // "STRA" is not "STRE"
}

TEST_F(ResultReader, MidSideNodesTakeTheMeanOfTheirCorners) {
    // One quadratic element: corners 1, 3, 5, 10 at local positions 1, 3, 5 and 10.
    const TestMesh quad{10, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}};
    std::string text = "STRESS\n\n" + stressLine(1, 1, 10) + stressLine(1, 3, 20) + stressLine(1, 5, 40) +
                       stressLine(1, 10, 80);
    ASSERT_EQ(read(text, quad, kKindStress, kItemSigmaX), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{10, 15, 20, 30, 40, 25, 45, 50, 60, 80}));
    EXPECT_EQ(out.smallest, 10);  // mid-side values do not widen the range
    EXPECT_EQ(out.largest, 80);
    // A mid-side node that an element line names keeps its own value.
    text = "STRESS\n\n" + stressLine(1, 1, 10) + stressLine(1, 3, 20) + stressLine(1, 2, 99) + stressLine(1, 10, 80);
    read(text, quad, kKindStress, kItemSigmaX);
    EXPECT_EQ(out.values[1], 99);
}

TEST(QuantityList, ListsByPhysicsAndSolutionType) {
    auto texts = [](int physics, int solution) {
        std::vector<std::string> out;
        for (const auto& q : offeredQuantities(physics, solution)) out.push_back(q.text);
        return out;
    };
    EXPECT_EQ(texts(kPhysicsThermal, 6), (std::vector<std::string>{"Mesh", "Temperatures"}));
    EXPECT_EQ(texts(kPhysicsMechanical, kSolutionNaturalFrequencies),
              (std::vector<std::string>{"Mesh", "Natural frequency"}));
    EXPECT_EQ(texts(8, 8), std::vector<std::string>{"Mesh"});
    const auto all = texts(kPhysicsMechanical, kSolutionBuckling);
    ASSERT_EQ(all.size(), 25u);
    EXPECT_EQ(all[7], "Von Mises Stress");
    EXPECT_EQ(all[20], "Buckling Load");
    EXPECT_EQ(plotPosition(kPhysicsThermal, 6, 0), kPositionTemperature);
    EXPECT_EQ(plotPosition(kPhysicsMechanical, kSolutionNaturalFrequencies, 0), kPositionFrequency);
    EXPECT_EQ(plotPosition(kPhysicsMechanical, 0, 12), 12);
    EXPECT_EQ(quantityAt(15).legendLabel, "Combined Displacement");
    EXPECT_EQ(quantityAt(15).kind, kKindDisplacement);
    EXPECT_EQ(quantityAt(15).item, kItemMagnitude);
    EXPECT_EQ(quantityAt(24).kind, kKindPlasticStrain);
    EXPECT_EQ(quantityAt(99).listText, "Mesh");
}

TEST(QuantityList, UnitTexts) {
    EXPECT_EQ(stressUnit("mm"), "N/mm2");
    EXPECT_EQ(stressUnit("m."), "N/m2");
    EXPECT_EQ(stressUnit("cm"), "N/cm2");
    EXPECT_EQ(stressUnit("in"), "lbf/in2");
    EXPECT_EQ(stressUnit("ft"), "");
    EXPECT_EQ(temperatureUnit("in"), "deg. F");
    EXPECT_EQ(temperatureUnit("ft"), "deg. C");
    EXPECT_EQ(unitTextForKind(kKindDisplacement, "cm"), "cm");
    EXPECT_EQ(unitTextForKind(kKindStress, "mm"), "N/mm2");
    EXPECT_EQ(unitTextForKind(kKindVelocity, "mm"), "");
    EXPECT_EQ(unitText(quantityAt(19).unit, "in"), "deg. F");
}

}  // namespace
