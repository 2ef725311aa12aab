// Every shared file format's reader on damaged copies of its golden file: a reading either succeeds
// with consistent data or refuses, and never reads outside its arrays (the AddressSanitizer run of
// this program checks the latter).
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>

#include "formats/companion_file.h"
#include "formats/face_tables.h"
#include "formats/mesh_reader.h"
#include "formats/number_scanner.h"
#include "formats/result_kinds.h"
#include "formats/result_reader.h"
#include "formats/result_writer.h"
#include "formats/solver_input.h"
#include "mesh_solve/mesh_dump.h"
#include "support/file_fuzz.h"
#include "support/format_files.h"

namespace {

using namespace mesh_solve;

// What a results view does with a mesh: walk every boundary facet's face nodes and every element's
// nodes to their coordinates. Answers the first reference that leaves the arrays, or "".
std::string referenceFault(const Mesh& mesh) {
    const auto p = static_cast<std::size_t>(mesh.nodesPerElement());
    if (mesh.coordinates().size() != 3 * static_cast<std::size_t>(mesh.nodeCount()) ||
        mesh.connectivity().size() != p * static_cast<std::size_t>(mesh.elementCount()) ||
        mesh.facetFaces().size() != static_cast<std::size_t>(mesh.facetCount()))
        return "array sizes differ from the counts";
    for (const std::int32_t node : mesh.connectivity())
        if (node < 1 || node > mesh.nodeCount()) return "node " + std::to_string(node) + " outside the mesh";
    for (std::int32_t i = 0; i < mesh.facetCount(); ++i) {
        const std::int32_t element = mesh.facetElements()[i];
        if (element < 1 || element > mesh.elementCount()) return "facet element outside the mesh";
        const auto faceNodes = localFaceNodes(mesh.nodesPerElement(), mesh.facetFaces()[i]);
        if (faceNodes.empty()) return "facet face outside 1 to 4";
        for (const std::int32_t local : faceNodes) mesh.nodePosition(mesh.elementNodes(element)[local - 1]);
    }
    return "";
}

// The outcome must be one of: a loaded, consistent mesh; an empty mesh; a refusal with a message.
std::string outcomeFault(const Mesh& mesh, const MeshReadResult& result) {
    if (result.status == MeshReadStatus::NotOpened) return "an existing file was not opened";
    if (result.status == MeshReadStatus::Refused && result.message.empty())
        return "refusal without a message";
    if (result.status == MeshReadStatus::Refused && mesh.isLoaded()) return "refused file left a mesh";
    if (!mesh.isLoaded() && mesh.nodeCount() + mesh.elementCount() + mesh.facetCount() != 0)
        return "empty mesh with counts";
    if (mesh.nodesPerElement() != 4 && mesh.nodesPerElement() != 10) return "odd nodes per element";
    if (mesh.isLoaded() && mesh.faceStates().size() != 4 * static_cast<std::size_t>(mesh.elementCount()) + 5)
        return "face states sized wrongly";
    return referenceFault(mesh);
}

class FormatFuzz : public ::testing::Test {
  protected:
    std::string write(const std::string& bytes) {
        writeFile(path_, bytes);
        return path_;
    }
    ScratchFolder folder_{fuzz::memoryRoot()};
    std::string path_ = folder_.file("fuzz.file");
};

TEST_F(FormatFuzz, MeshFilesAreReadConsistentlyOrRefused) {
    const std::string dump = folder_.file("check.mes");
    fuzz::Plan plan;
    plan.rounds = 3000;
    plan.headerBytes = 16;
    plan.countsAt = {golden::kNodeCountAt, golden::kElementCountAt, golden::kFacetCountAt,
                     golden::kNodesPerElementAt};
    for (const char* name : {"linear.meb", "quadratic.meb"}) {
        SCOPED_TRACE(name);
        Mesh mesh;
        int loaded = 0, tried = 0;
        const auto check = [&](const std::string& bytes) {
            const MeshReadResult result = readMeshFile(mesh, write(bytes));
            std::string fault = outcomeFault(mesh, result);
            // The add-on dumps whatever it has read.
            if (fault.empty() && !writeMeshDump(mesh, dump, "mm")) fault = "dump not written";
            loaded += mesh.isLoaded() ? 1 : 0;
            ++tried;
            return fault;
        };
        const std::string whole = golden::bytes(name);
        fuzz::Plan truncations;
        truncations.rounds = 0;
        EXPECT_EQ(fuzz::firstFault(whole, truncations, check), "");
        EXPECT_EQ(loaded, 0) << "a truncated mesh file must never load";
        EXPECT_EQ(fuzz::firstFault(whole, plan, check), "");
        // Damage that only touches coordinates or tags still loads; both outcomes must be exercised.
        EXPECT_GT(loaded, 0);
        EXPECT_LT(loaded, tried);
    }
}

TEST_F(FormatFuzz, ResultFilesNeverReadOutsideTheArrays) {
    // The golden result file belongs to two quadratic elements on nodes 20 down to 1.
    std::vector<std::int32_t> connectivity;
    for (int i = 1; i <= 20; ++i) connectivity.push_back(21 - i);
    const results::ResultMesh mesh{20, 2, 10, connectivity};
    std::mt19937 random(20240607);
    results::NodeResults out;
    int read = 0;
    const auto check = [&](const std::string& text) -> std::string {
        const std::string path = write(text);
        for (int kind : {1, 2, 3, 4, 6, 7, 8, 9}) {
            const int item = static_cast<int>(random() % 16) - 1;
            const int step = static_cast<int>(random() % 4);
            if (readResult(path, mesh, {kind, item, step, static_cast<int>(random() % 8)}, out) ==
                results::ReadStatus::Read)
                ++read;
            if (out.values.size() != 20u || out.vectors.size() != 60u) return "arrays resized";
        }
        return "";
    };
    // The golden file and a flow's pressure and vorticity, short blocks of its first four nodes
    // (the rest keep 0). Two more kinds per file: every ninth length is truncated, not every seventh.
    const std::vector<double> pressure{1e5, -2.5, 0, 7}, vorticity(12, 0.5);
    const std::string golden = golden::bytes("quadratic.out") +
                               results::nodeScalarBlock("PRES", 1, pressure) +
                               results::nodeVectorBlock("VORT", 1, vorticity);
    fuzz::Plan plan;
    plan.rounds = 1500;
    plan.truncationStep = 9;
    plan.text = true;
    EXPECT_EQ(fuzz::firstFault(golden, plan, check), "");
    EXPECT_GT(read, 1000);  // most damaged files still hold readable blocks

    // Meshes that do not match the file: fewer nodes than it names, a connectivity naming nodes
    // outside the mesh, no nodes, no connectivity.
    const std::string path = write(golden);
    const std::vector<std::int32_t> wild{1, 2, 3, 4, 5, 6, 7, 8, 9, 1000};
    for (const results::ResultMesh& other :
         {results::ResultMesh{4, 2, 10, connectivity}, results::ResultMesh{10, 1, 10, wild},
          results::ResultMesh{0, 0, 4, {}}, results::ResultMesh{20, 2, 10, {}}})
        for (int kind : {2, 3, 4}) {
            readResult(path, other, {kind, 0, 1, 0}, out);
            EXPECT_EQ(out.values.size(), static_cast<std::size_t>(other.nodeCount));
        }
}

TEST_F(FormatFuzz, SolverInputSectionsKeepTheirLinesInOrder) {
    const auto check = [](const std::string& text) -> std::string {
        std::istringstream in(text);
        const formats::SolverInputSections sections = formats::readSolverInputSections(in);
        for (const char* heading : {"HEADER", "MODEL", "MFILE", "SOLVE", "TABLES", "MSET", "MATERIALS",
                                    "ESIZE", "LOADS", "RESTRAINTS", "CONSTRAINTS"}) {
            int last = 0;
            for (const formats::InputLine& line : sections.lines(heading)) {
                if (line.number <= last) return std::string(heading) + " lines out of order";
                if (line.text.find('\n') != std::string::npos) return "a line holds a line feed";
                last = line.number;
                // The line's values: its comma parts join back to the line; each is read as a number.
                std::string joined;
                for (const std::string& part : formats::splitTopLevel(line.text, ',')) {
                    joined += part + ',';
                    formats::parseNumber(formats::trimmed(part));
                    for (const std::string& word : formats::words(part)) formats::parseInt(word);
                }
                if (joined != line.text + ',') return "comma parts do not join back to the line";
            }
            if (const auto first = sections.firstValueLine(heading)) formats::splitHeaderLine(first->text);
        }
        return "";
    };
    fuzz::Plan plan;
    plan.text = true;
    EXPECT_EQ(fuzz::firstFault(golden::bytes("solver_input.txt"), plan, check), "");
}

// A companion file read whole refers only to nodes and elements of the mesh it names.
std::string companionFault(const formats::MeshCompanion& c) {
    const auto inMesh = [&](const std::vector<int>& nodes) {
        return std::all_of(nodes.begin(), nodes.end(), [&](int n) { return n >= 1 && n <= c.nodeCount; });
    };
    for (const formats::CompanionBody& b : c.bodies)
        if (b.firstElement < 1 || b.firstElement > b.lastElement || b.lastElement > c.elementCount)
            return "body range outside the mesh";
    for (const formats::CompanionFace& f : c.faces)
        if (!inMesh(f.nodes)) return "face node outside the mesh";
    for (const formats::CompanionEdge& e : c.edges)
        if (!inMesh(e.nodes)) return "edge node outside the mesh";
    for (const formats::CompanionVertex& v : c.vertices)
        if (v.node < 0 || v.node > c.nodeCount) return "vertex node outside the mesh";
    return "";
}

TEST_F(FormatFuzz, CompanionFilesAreReadInsideTheirMeshOrRefused) {
    int read = 0;
    const auto check = [&](const std::string& text) -> std::string {
        formats::MeshCompanion companion;
        const formats::CompanionReadResult result = formats::readCompanionFile(companion, write(text));
        if (result.status == formats::CompanionReadStatus::NotOpened)
            return "an existing file was not opened";
        if (result.status == formats::CompanionReadStatus::Refused)
            return result.message.empty()                     ? "refusal without a message"
                   : !(companion == formats::MeshCompanion{}) ? "refused file left entities"
                                                              : "";
        ++read;
        return companionFault(companion);
    };
    fuzz::Plan plan;
    plan.text = true;
    EXPECT_EQ(fuzz::firstFault(golden::bytes("companion.mtp"), plan, check), "");
    EXPECT_GT(read, 0);  // damage to coordinates and numbers still reads
}

// What a real must read as: std::from_chars's value, 0 where it fails or gives a non-finite value.
double referenceReal(const std::string& text) {
    double value = 0.0;
    const auto [next, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && std::isfinite(value) ? value : 0.0;
}

// The scanner's own decimal reading must give exactly the double std::from_chars gives, for numbers
// in every format a solver may print and for damaged ones.
TEST(NumberScannerFuzz, RealsReadExactlyAsFromChars) {
    std::mt19937_64 random(77);
    const char* formats[] = {"%.6e", "%.8e", "%.6E", "%.3E", "%.17g", "%g", "%.4f", "%.12e", "%.1e", "%.7e"};
    std::uniform_real_distribution<double> exponent(-30.0, 30.0);
    std::uniform_int_distribution<int> pick(0, 9);
    char text[64];
    for (int i = 0; i < 200000; ++i) {
        const double magnitude = std::pow(10.0, exponent(random)) * (random() % 2 ? -1 : 1);
        std::snprintf(text, sizeof text, formats[pick(random)], magnitude);
        std::string number = text;
        if (i % 5 == 0) number[random() % number.size()] = "0.-e+9x;E"[random() % 9];  // damaged
        if (number[0] == '+' || number[0] == ';' ||
            !(std::isdigit(number[0]) || number[0] == '.' || number[0] == '-'))
            continue;  // the scanner passes over such a first character before a number begins
        const double expected = referenceReal(number);
        const double got = results::NumberScanner(number).real();
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
            << number << " read " << got << ", expected " << expected;
    }
    // Edge cases, one word each.
    std::istringstream edges(
        "0 -0 0.000e+00 1. 1.e5 .5 -.5e-3 1e 1e+ 1e-x 9007199254740993 "
        "123456789012345678901234 1e22 1e23 1e-22 1e-23 4.9e-324 1e-400 -inf nan - . "
        "1.000000e+100 -1.00000000e-100 1.000000e+0 1.000000e+001 1.000000e+22 1.000000e-16 "
        "1.00000000e-15 9.999999e+99 1.000000e+05x 1.0000000e+05 1.000000");
    for (std::string edge; edges >> edge;) {
        const double expected = referenceReal(edge);
        const double got = results::NumberScanner(edge).real();
        EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
            << edge << " read " << got << ", expected " << expected;
    }
}

}  // namespace
