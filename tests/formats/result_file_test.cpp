// The result file: the blocks as the solver writes them (against the golden file), reading them
// back (node and element blocks, step and mode search, averaging, mid-side filling, the number rules
// and damaged lines), the derived stresses and the header search.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <span>
#include <sstream>
#include <utility>

#include "formats/block_search.h"
#include "formats/derived_stress.h"
#include "formats/number_scanner.h"
#include "formats/result_kinds.h"
#include "formats/result_reader.h"
#include "formats/result_writer.h"
#include "support/format_files.h"

namespace {

using namespace results;

// A mesh of `nodes` nodes and the given connectivity (1-based, `perElement` nodes per element).
struct TestMesh {
    std::int32_t nodes = 0;
    std::int32_t perElement = 4;
    std::vector<std::int32_t> connectivity;

    ResultMesh view() const {
        return {nodes, static_cast<std::int32_t>(connectivity.size() / static_cast<std::size_t>(perElement)),
                perElement, connectivity};
    }
};

// The lines every result file begins with.
std::string meshFileLines() {
    return "MESHFILE\n/projects/Bracket/Case.meb\n";
}

// A node block: header, then one line per node with the node number and the values of `rows`.
std::string nodeBlock(const std::string& header, const std::vector<std::vector<double>>& rows) {
    std::string text = header + "\n";
    char buffer[64];
    for (std::size_t n = 0; n < rows.size(); ++n) {
        text += std::to_string(n + 1);
        for (double v : rows[n]) {
            std::snprintf(buffer, sizeof buffer, " %.6e", v);
            text += buffer;
        }
        text += "\n";
    }
    return text + "\n";
}

class ResultReader : public ::testing::Test {
  protected:
    // Writes `text` as the result file and reads (kind, item, step) of it into `out`.
    ReadStatus read(const std::string& text, const TestMesh& mesh, int kind, int item, int step = 1,
                    int solutionType = 0) {
        writeFile(path(), text);
        return readResult(path(), mesh.view(), {kind, item, step, solutionType}, out);
    }
    std::string path() const { return scratch.file("Case.out"); }
    // The smallest and largest value of the last reading.
    std::pair<double, double> range() const { return {out.smallest, out.largest}; }

    ScratchFolder scratch;
    NodeResults out;
};

// The golden file's mesh: two quadratic elements on nodes 20 down to 1 (corners 20, 18, 16, 11 and
// 10, 8, 6, 1), node n displaced by (n / 1000, -n / 4, 1.5 for odd n), corner k (0 to 7) stressed by
// sx = 100 + k, sy = -20 k, sz = 0.5, txy = k, txz = -k / 1000; modes of 12.5 and 80.25 Hz with
// node n moving by (m n / 100, 0, -n) in mode m.
const TestMesh kGoldenMesh = [] {
    TestMesh mesh{20, 10, {}};
    for (int i = 1; i <= 20; ++i) mesh.connectivity.push_back(21 - i);
    return mesh;
}();
constexpr std::int32_t kGoldenCorners[] = {20, 18, 16, 11, 10, 8, 6, 1};

TEST(ResultWriter, BlocksReproduceTheGoldenFile) {
    std::vector<double> displacements, mode1, mode2;
    for (int n = 1; n <= 20; ++n) {
        displacements.insert(displacements.end(), {n * 1e-3, -0.25 * n, n % 2 ? 1.5 : 0.0});
        mode1.insert(mode1.end(), {n * 0.01, 0.0, -1.0 * n});
        mode2.insert(mode2.end(), {2 * n * 0.01, 0.0, -1.0 * n});
    }
    std::vector<CornerStress> stresses;
    for (int k = 0; k < 8; ++k) stresses.push_back({100.0 + k, -20.0 * k, 0.5, 1.0 * k, 0.0, -1e-3 * k});
    const std::string written = "MESHFILE\n/projects/beam/Case.meb\nBODIES 1\n 1 6 12 8\nEND\n" +
                                nodeVectorBlock("DISP", 1, displacements) +
                                stressBlock(1, kGoldenCorners, stresses) +
                                modeValueBlock(std::vector<double>{12.5, 80.25}) +
                                nodeVectorBlock("EIGE", 1, mode1) + nodeVectorBlock("EIGE", 2, mode2);
    EXPECT_EQ(written, golden::bytes("quadratic.out"));
}

// The node and stress lines are written without printf; every number must still read as printf's
// "%.8e" / "%.6e" (rounding carries, three-digit exponents, signs), values too small for a short
// exponent as 0 (never "-0").
TEST(ResultWriter, NumbersAreWrittenAsPrintfWritesThem) {
    std::istringstream list(
        "1.5 -2 123456789.123 -9.99999999951e-5 1e-100 -3.25e+250 0.1 2.5e-291 -7.0000000049e+12 "
        "6.02214076e23 -0.000123456789 1e300 5e-324 99.999999995 -1e-5 -1e-300 0.0 -0.0");
    std::vector<double> values;
    for (std::string word; list >> word;) values.push_back(std::strtod(word.c_str(), nullptr));
    ASSERT_EQ(values.size(), 18u);
    const auto shown = [](double v) { return (v > -1e-290 && v < 1e-290) ? 0.0 : v; };
    char expected[200];
    std::string want = "DISP 3\n";
    for (std::size_t n = 0; n < values.size() / 3; ++n) {
        std::snprintf(expected, sizeof expected, "%zu %.8e %.8e %.8e\n", n + 1, shown(values[3 * n]),
                      shown(values[3 * n + 1]), shown(values[3 * n + 2]));
        want += expected;
    }
    EXPECT_EQ(nodeVectorBlock("DISP", 3, values), want + "\n");

    const std::vector<CornerStress> stresses{
        {values[0], values[1], values[2], values[3], values[4], values[5]},
        {values[6], values[8], values[9], values[10], values[13], values[15]}};
    const std::vector<std::int32_t> corners{7, 3};
    want = "STRES 2\n; element node sx sy sz txy tyz txz\n";
    for (std::size_t c = 0; c < 2; ++c) {
        const CornerStress& v = stresses[c];
        std::snprintf(expected, sizeof expected, "1 %d %.6e %.6e %.6e %.6e %.6e %.6e\n", corners[c],
                      shown(v[0]), shown(v[1]), shown(v[2]), shown(v[3]), shown(v[4]), shown(v[5]));
        want += expected;
    }
    EXPECT_EQ(stressBlock(2, corners, stresses), want + "\n");
    // A share's lines, numbered from its first node or element, follow the shares before it.
    const std::span<const double> all(values);
    EXPECT_EQ(blockHeader("DISP", 3) + nodeVectorLines(all.first(9)) + nodeVectorLines(all.subspan(9), 3) +
                  kBlockEnd,
              nodeVectorBlock("DISP", 3, values));
    EXPECT_EQ(stressHeader(2) + stressLines(std::span(corners).first(1), stresses) +
                  stressLines(std::span(corners).subspan(1), std::span(stresses).subspan(1)),
              want);
    EXPECT_EQ(stressLines(corners, stresses, 41).substr(0, 5), "42 7 ");
    EXPECT_EQ(nodeScalarLines(all.first(1), 6).substr(0, 2), "7 ");
    EXPECT_EQ(temperatureBlock(1, std::vector<double>{20}), "TEMP 1\n1 2.00000000e+01\n\n");
    EXPECT_EQ(nodeScalarBlock("PRES", 4, std::vector<double>{-0.5, 1e-300}),
              "PRES 4\n1 -5.00000000e-01\n2 0.00000000e+00\n\n");
    // Many modes shorten their numbers to keep the line within the 119 characters the reader takes.
    const std::string natu = modeValueBlock(std::vector<double>(20, 1234.56789012));
    const std::string line = natu.substr(5, natu.find('\n', 5) - 5);
    EXPECT_LE(line.size(), 119u);
    NumberScanner scan(line);
    for (int k = 0; k < 20; ++k) EXPECT_NEAR(scan.real(), 1234.56789012, 1) << k;
}

// The displacement and stress blocks of what the solver writes are read back against the solver's
// own values (tests/tools/tarvsolv/addon_reading_test.cpp); here the mode blocks of the golden file.
TEST_F(ResultReader, GoldenFileReadsBackWhatTheSolverWrote) {
    writeFile(path(), golden::bytes("quadratic.out"));
    ASSERT_EQ(readResult(path(), kGoldenMesh.view(), {kKindModeShape, kItemMagnitude, 2, 0}, out),
              ReadStatus::Read);
    EXPECT_EQ(out.modeValue, 80.25);
    EXPECT_NEAR(out.values[9], std::hypot(0.2, 10.0), 1e-12);
    // A mode beyond the listed values reads its value as 0 (and fails here: there is no third shape).
    EXPECT_EQ(readResult(path(), kGoldenMesh.view(), {kKindModeShape, 0, 3, 0}, out), ReadStatus::Failed);
    EXPECT_EQ(out.modeValue, 0);
    // Without "NATU" the mode value is 0 and the read fails.
    out.modeValue = 7;
    writeFile(path(), nodeBlock("EIGE 1", {{1, 0, 0}}));
    EXPECT_EQ(readResult(path(), kGoldenMesh.view(), {kKindModeShape, 3, 1, 0}, out), ReadStatus::Failed);
    EXPECT_EQ(out.modeValue, 0);
}

const TestMesh kThreeNodes{3, 4, {}};

std::string displacementFile() {
    return meshFileLines() + nodeBlock("DISP 1", {{1, 2, 2}, {0, 0, 0}, {-3, 0, 4}}) +
           nodeBlock("DISP 2", {{10, 20, 20}, {0, 5, 0}, {-30, 0, 40}});
}

// Node blocks give one value a node, its range the smallest and largest of them: components and
// magnitudes by step, temperatures and velocities, headers with leading blanks or other words.
// ';' reads 0 and reading goes on after the next blank; '+' does not begin a number; a line that
// begins with ';' repeats the line before it.
TEST_F(ResultReader, NodeBlocksGiveTheValuesOfTheItemAndStep) {
    // A transient flow's second printed step between the temperatures and another step's vorticity.
    const std::string flow = meshFileLines() + nodeBlock("VELO", {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}) +
                             nodeBlock("TEMP 1", {{20}, {25.5}, {-4}}) +
                             nodeBlock("PRES 2", {{1e5}, {-3}, {0}}) +
                             nodeBlock("VORT 2", {{0, 3, 4}, {0, 0, 0}, {-1, 0, 0}}) +
                             nodeBlock("VORT 3", {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}});
    const std::string headers =
        "  \tDISP\n1 5 0 0\n2 6 0 0\n3 7 0 0\n\n    DISP   2 extra\n1 8 0 0\n2 9 0 0\n3 1 0 0\n";
    const std::string marks = "DISP 1\n1 ;junk 7 +9\n2 1.5e+01 -.5 ;\n   ; comment\n";
    // A gas's printed steps: each holds its velocity, pressure, temperature, density and Mach number.
    std::string gas = meshFileLines();
    for (int step : {1, 2}) {
        const double k = step;
        const std::string n = " " + std::to_string(step);
        gas += nodeBlock("VELO" + n, {{340 * k, 0, 0}, {0, 0, 0}, {0, 170 * k, 0}}) +
               nodeBlock("PRES" + n, {{0.1 / k}, {0.2}, {0.15}}) +
               nodeBlock("TEMP" + n, {{20}, {-50 * k}, {5}}) +
               nodeBlock("DENS" + n, {{1.2e-9 * k}, {2.4e-9}, {1.8e-9}}) +
               nodeBlock("MACH" + n, {{0.99 * k}, {0}, {0.5 * k}}) +
               nodeBlock("VORT" + n, {{0, 0, k}, {0, 0, 0}, {0, 0, 0}});
    }
    // The error estimate of each mode after its shape, as natural frequencies write them.
    const std::string modes = meshFileLines() + "NATU\n10 20\n\n" + nodeBlock("EIGE 1", {{1, 0, 0}}) +
                              nodeBlock("ERRE 1", {{12.5}, {0}, {3}}) + nodeBlock("EIGE 2", {{0, 1, 0}}) +
                              nodeBlock("ERRE 2", {{1}, {2}, {40}});
    const struct {
        const char* name;
        std::string text;
        int kind, item, step;
        std::vector<double> values;
    } cases[] = {
        {"component", displacementFile(), kKindDisplacement, 1, 1, {2, 0, 0}},
        {"magnitude", displacementFile(), kKindDisplacement, kItemMagnitude, 2, {30, 5, 50}},
        {"temperature", flow, kKindTemperature, 0, 1, {20, 25.5, -4}},
        {"velocity", flow, kKindVelocity, 2, 1, {3, 6, 9}},
        {"pressure", flow, kKindPressure, 0, 2, {1e5, -3, 0}},
        {"vorticity", flow, kKindVorticity, kItemMagnitude, 2, {5, 0, 1}},
        {"gas density", gas, kKindDensity, 0, 2, {2.4e-9, 2.4e-9, 1.8e-9}},
        {"gas Mach number", gas, kKindMach, 0, 2, {1.98, 0, 1}},
        {"gas temperature", gas, kKindTemperature, 0, 2, {20, -100, 5}},
        {"gas speed", gas, kKindVelocity, kItemMagnitude, 1, {340, 0, 170}},
        {"error estimate of a mode", modes, kKindErrorEstimate, 0, 2, {1, 2, 40}},
        {"leading blanks", headers, kKindDisplacement, 0, 1, {5, 6, 7}},
        {"other words", headers, kKindDisplacement, 0, 2, {8, 9, 1}},
        {"marks x", marks, kKindDisplacement, 0, 1, {0, 15, 15}},
        {"marks y", marks, kKindDisplacement, 1, 1, {7, -0.5, -0.5}},
        {"marks z", marks, kKindDisplacement, 2, 1, {9, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(read(c.text, kThreeNodes, c.kind, c.item, c.step), ReadStatus::Read);
        EXPECT_EQ(out.values, c.values);
        const auto [low, high] = std::minmax_element(c.values.begin(), c.values.end());
        EXPECT_EQ(range(), (std::pair{*low, *high}));
    }
    ASSERT_EQ(read(displacementFile(), kThreeNodes, kKindDisplacement, kItemVector, 2), ReadStatus::Read);
    EXPECT_EQ(out.vectors, (std::vector<double>{10, 20, 20, 0, 5, 0, -30, 0, 40}));
    EXPECT_EQ(range(), (std::pair{0.0, 0.0})) << "vectors contribute 0 to the range";
}

TEST_F(ResultReader, GapsInTheNumberingAndMissingBlocks) {
    const std::string gap = meshFileLines() + nodeBlock("DISP 1", {{1, 1, 1}}) +
                            nodeBlock("DISP 2", {{2, 2, 2}}) + nodeBlock("DISP 4", {{4, 4, 4}});
    EXPECT_EQ(read(gap, kThreeNodes, kKindDisplacement, 0, 3), ReadStatus::TooHigh);
    ASSERT_EQ(read(gap, kThreeNodes, kKindDisplacement, 0, 4), ReadStatus::Read);
    EXPECT_EQ(out.values[0], 4);
    const std::string two =
        meshFileLines() + nodeBlock("DISP 1", {{1, 1, 1}}) + nodeBlock("DISP 2", {{2, 2, 2}});
    EXPECT_EQ(read(two, kThreeNodes, kKindDisplacement, 0, 3), ReadStatus::Failed);
    EXPECT_EQ(read(two, kThreeNodes, kKindTemperature, 0), ReadStatus::Failed);
    EXPECT_EQ(read(two, kThreeNodes, kKindMesh, 0), ReadStatus::Failed);
    // A file of a run before the error estimate: not found, and not offered.
    EXPECT_EQ(read(two, kThreeNodes, kKindErrorEstimate, 0), ReadStatus::Failed);
    EXPECT_FALSE(holdsBlock(path(), kKindErrorEstimate));
    EXPECT_TRUE(holdsBlock(path(), kKindDisplacement));
    for (int kind : {5, 10}) EXPECT_EQ(read(two, kThreeNodes, kind, 0), ReadStatus::Failed) << kind;
    EXPECT_EQ(readResult(scratch.file("missing.out"), kThreeNodes.view(), {kKindDisplacement, 0, 1, 0}, out),
              ReadStatus::Failed);
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
    std::snprintf(buffer, sizeof buffer, "%d %d %e %e %e %e %e %e\n", element, node, sx, sy, sz, txy, 0.0,
                  0.0);
    return buffer;
}

TEST_F(ResultReader, StressIsAveragedOverTheElementsAtANode) {
    std::string text = meshFileLines() + "STRESS 1\n element node sx sy sz txy tyz txz\n";
    text += stressLine(1, 1, 100) + stressLine(1, 2, 10) + stressLine(1, 3, 20) + stressLine(1, 4, 30);
    text +=
        stressLine(2, 1, -100, 0, 0, 50) + stressLine(2, 3, 40) + stressLine(2, 2, 50) + stressLine(2, 5, 60);
    ASSERT_EQ(read(text, kTwoTets, kKindStress, kItemSigmaX), ReadStatus::Read);
    EXPECT_EQ(out.values, (std::vector<double>{0, 30, 30, 30, 60}));
    EXPECT_EQ(out.hits, (std::vector<std::int32_t>{2, 2, 2, 1, 1}));
    EXPECT_EQ(range(), (std::pair{0.0, 60.0}));
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
        ASSERT_EQ(out.hits[static_cast<std::size_t>(n)], hits[static_cast<std::size_t>(n)])
            << "node " << n + 1;
        if (hits[static_cast<std::size_t>(n)] > 0) {
            ASSERT_NEAR(out.values[static_cast<std::size_t>(n)],
                        sum[static_cast<std::size_t>(n)] / hits[static_cast<std::size_t>(n)], 1e-9)
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
                text += std::to_string(e) + " " + std::to_string(kTwoTets.connectivity[(e - 1) * 4 + c]) +
                        " " + std::to_string(step) + ".5 99 99\n";
    }
    // Step by step: the first header numbered 2 or more.
    ASSERT_EQ(read(text, kTwoTets, kKindPlasticStrain, 0, 2, kSolutionPlasticity), ReadStatus::Read);
    EXPECT_EQ(out.values[4], 3.5);
    // A transient thermal stress numbers its stress blocks by printed step, as its temperatures.
    ASSERT_EQ(read(text, kTwoTets, kKindPlasticStrain, 0, 5, kSolutionTransientThermalStress),
              ReadStatus::Read);
    EXPECT_EQ(out.values[4], 5.5);
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
    EXPECT_EQ(range(), (std::pair{10.0, 80.0}));  // mid-side values do not widen the range
    // A mid-side node that an element line names keeps its own value.
    text = "STRESS\n\n" + stressLine(1, 1, 10) + stressLine(1, 3, 20) + stressLine(1, 2, 99) +
           stressLine(1, 10, 80);
    read(text, quad, kKindStress, kItemSigmaX);
    EXPECT_EQ(out.values[1], 99);
}

constexpr double kTol = 1e-3;

// Stress states whose derived values are known, each with the items it fixes.
struct KnownState {
    const char* name;
    StressComponents s;
    std::vector<std::pair<int, double>> expected;  // item, value
};

// The principal stresses, von Mises and Tresca of general states are checked below; here the
// signed forms, the largest principal and the items' order.
TEST(DerivedStress, KnownStates) {
    const KnownState states[] = {
        {"uniaxial tension",
         {100, 0, 0, 0, 0, 0},
         {{kItemMaxPrincipal, 100}, {kItemSignedVonMises, 100}, {kItemSignedTresca, 100}}},
        {"uniaxial compression",
         {-100, 0, 0, 0, 0, 0},
         {{kItemSignedVonMises, -100}, {kItemSignedTresca, -100}, {kItemMaxPrincipal, -100}}},
        // Equal and opposite principal stresses: the signed forms take the sign of the first.
        {"pure shear", {0, 0, 0, 50, 0, 0}, {{kItemSignedVonMises, 86.6025}, {kItemSignedTresca, 100}}},
        // The principal stresses of a diagonal state are its components, whatever their order.
        {"triaxial",
         {-30, 70, 20, 0, 0, 0},
         {{kItemPrincipal1, 70}, {kItemPrincipal2, 20}, {kItemPrincipal3, -30}, {kItemSigmaY, 70}}},
    };
    for (const KnownState& state : states)
        for (const auto& [item, value] : state.expected)
            EXPECT_NEAR(stressValue(state.s, item), value, kTol) << state.name << ", item " << item;
    for (int item = 0; item <= kItemMaxPrincipal; ++item) EXPECT_EQ(stressValue({}, item), 0) << item;
    EXPECT_EQ(stressValue({-30, 70, 20, 0, 0, 0}, 14), 0) << "an unknown item";
}

// A general three-dimensional state, built as R diag(d) R^T with R turning about a skew axis, so that
// all six components are non-zero: its principal stresses are d, whatever the signs of the shears.
StressComponents rotatedState(const double d[3], double ax, double ay, double az, double angle) {
    const double n = std::sqrt(ax * ax + ay * ay + az * az);
    const double u[3] = {ax / n, ay / n, az / n};
    const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    const double r[3][3] = {{t * u[0] * u[0] + c, t * u[0] * u[1] - s * u[2], t * u[0] * u[2] + s * u[1]},
                            {t * u[0] * u[1] + s * u[2], t * u[1] * u[1] + c, t * u[1] * u[2] - s * u[0]},
                            {t * u[0] * u[2] - s * u[1], t * u[1] * u[2] + s * u[0], t * u[2] * u[2] + c}};
    auto m = [&](int i, int j) {
        return r[i][0] * d[0] * r[j][0] + r[i][1] * d[1] * r[j][1] + r[i][2] * d[2] * r[j][2];
    };
    return {m(0, 0), m(1, 1), m(2, 2), m(0, 1), m(1, 2), m(0, 2)};
}

TEST(DerivedStress, GeneralStatesGiveTheEigenvaluesOfTheTensor) {
    const double cases[][3] = {{200, 50, -80}, {-10, -60, -150}, {120, 120, -40}};
    const double turns[][4] = {{1, 2, 3, 0.7}, {-2, 1, 0.5, 2.1}, {0.3, -1, 2, -1.2}};
    for (const auto& d : cases)
        for (const auto& turn : turns) {
            const StressComponents s = rotatedState(d, turn[0], turn[1], turn[2], turn[3]);
            ASSERT_GT(std::fabs(s.txy * s.tyz * s.txz), 1.0) << "the state must have three shears";
            const PrincipalStresses ps = principalStresses(s);
            EXPECT_NEAR(ps.p1, d[0], kTol) << d[0] << " " << turn[3];
            EXPECT_NEAR(ps.p2, d[1], kTol) << d[1] << " " << turn[3];
            EXPECT_NEAR(ps.p3, d[2], kTol) << d[2] << " " << turn[3];
            EXPECT_NEAR(stressValue(s, kItemTresca), d[0] - d[2], kTol);
            const double mises =
                std::sqrt(0.5 * ((d[0] - d[1]) * (d[0] - d[1]) + (d[1] - d[2]) * (d[1] - d[2]) +
                                 (d[2] - d[0]) * (d[2] - d[0])));
            EXPECT_NEAR(vonMises(s), mises, kTol);
        }
}

TEST(NumberScanner, RealsAndIntegers) {
    // '+' is passed over like any other character; ';', a value out of range, a lone '-' and the
    // end of the line read 0.
    NumberScanner scan("  12 -3.5e+02 .25 +7 abc8 ; 9x 1e999 -");
    EXPECT_EQ(scan.integer(), 12);
    for (double expected : {-350.0, 0.25, 7.0, 8.0, 0.0, 9.0, 0.0, 0.0, 0.0})
        EXPECT_EQ(scan.real(), expected);
    // An integer begins at the first digit; ';5' reads 0 and skips to the blank; too large is the largest.
    NumberScanner ints("-4 ;5 99999999999 6");
    for (int expected : {4, 0, 2147483647, 6}) EXPECT_EQ(ints.integer(), expected);
    // (Repeat lines, and a line ending in ';' that is none: NodeBlocksGiveTheValuesOfTheItemAndStep.)
    EXPECT_TRUE(isBlankLine(" \t\r"));
    EXPECT_FALSE(isBlankLine(" 1"));
}

TEST(BlockSearch, HeaderNumbers) {
    EXPECT_EQ(headerNumber("STRESS 3", "STRES"), 3);
    EXPECT_EQ(headerNumber("   STRE", "STRES"), 1);
    EXPECT_EQ(headerNumber("DISP 0", "DISP"), 1);
    EXPECT_EQ(headerNumber("DISPLACEMENTS   12 at t=3", "DISP"), 12);
    EXPECT_EQ(headerNumber("1 DISP", "DISP"), std::nullopt);
    EXPECT_EQ(headerNumber("DIS", "DISP"), std::nullopt);
}

}  // namespace
