// Truncated and corrupted mesh files: every reading either yields a mesh whose every reference stays
// inside its arrays or is refused with a message and leaves the mesh empty; nothing crashes. Run
// under AddressSanitizer by the mesh_solve_fuzz_asan test.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

#include "mesh_file_builder.h"
#include "mesh_solve/face_tables.h"
#include "mesh_solve/mesh_dump.h"
#include "mesh_solve/mesh_reader.h"

namespace mesh_solve {
namespace {

using mesh_test::Bytes;

// What a results view does with a mesh: walk every boundary facet's face nodes and every element's
// nodes to their coordinates. Returns the first reference that leaves the arrays, or "".
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
    if (result.status == MeshReadStatus::Refused && result.message.empty()) return "refusal without a message";
    if (result.status == MeshReadStatus::Refused && mesh.isLoaded()) return "refused file left a mesh";
    if (!mesh.isLoaded() && mesh.nodeCount() + mesh.elementCount() + mesh.facetCount() != 0)
        return "empty mesh with counts";
    if (mesh.nodesPerElement() != 4 && mesh.nodesPerElement() != 10) return "odd nodes per element";
    if (mesh.isLoaded() && mesh.faceStates().size() != 4 * static_cast<std::size_t>(mesh.elementCount()) + 5)
        return "face states sized wrongly";
    return referenceFault(mesh);
}

class MeshFuzzTest : public ::testing::Test {
protected:
    // Reads `bytes` as a mesh file, then dumps whatever was read; returns the first fault found.
    std::string readAndDump(const Bytes& bytes) {
        mesh_test::writeFile(path_, bytes);
        const MeshReadResult result = readMeshFile(mesh_, path_);
        std::string fault = outcomeFault(mesh_, result);
        if (fault.empty() && !writeMeshDump(mesh_, dump_, "mm")) fault = "dump not written";
        return fault;
    }

    mesh_test::TempFolder folder_;
    std::string path_ = folder_.file("fuzz.meb");
    std::string dump_ = folder_.file("check.mes");
    Mesh mesh_;
    std::mt19937 random_{20240611u};
};

TEST_F(MeshFuzzTest, EveryTruncationIsReadOrRefused) {
    for (const Bytes& whole : {mesh_test::singleLinearElement().bytes(), mesh_test::twoQuadraticElements().bytes()}) {
        int refused = 0;
        for (std::size_t length = 0; length <= whole.size(); ++length) {
            const std::string fault = readAndDump(Bytes(whole.begin(), whole.begin() + length));
            ASSERT_EQ(fault, "") << "length " << length;
            refused += mesh_.isLoaded() ? 0 : 1;
        }
        EXPECT_EQ(refused, static_cast<int>(whole.size())) << "only the whole file should load";
        EXPECT_TRUE(mesh_.isLoaded());
    }
}

TEST_F(MeshFuzzTest, CorruptedBytesAreReadOrRefused) {
    const Bytes bases[] = {mesh_test::singleLinearElement().bytes(), mesh_test::twoQuadraticElements().bytes()};
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = bases[round % 2];
        const int flips = 1 + static_cast<int>(random_() % 8);
        for (int i = 0; i < flips; ++i) {
            // Half of the damage goes to the header, where the counts are.
            const std::size_t limit = random_() % 2 ? 16 : bytes.size();
            bytes[random_() % limit] = static_cast<unsigned char>(random_());
        }
        if (random_() % 4 == 0) bytes.resize(random_() % (bytes.size() + 40));
        ASSERT_EQ(readAndDump(bytes), "") << "round " << round;
        loaded += mesh_.isLoaded() ? 1 : 0;
    }
    // Damage that only touches coordinates or tags still loads; make sure both outcomes were exercised.
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, 3000);
}

TEST_F(MeshFuzzTest, ExtremeHeaderCountsAreReadOrRefused) {
    const std::int32_t counts[] = {INT_MIN, -1, 0, 1, 2, 3, 4, 20, 65536, INT_MAX / 24, INT_MAX / 3, INT_MAX};
    const std::int32_t orders[] = {4, 10, 0, -4, 6, INT_MAX};
    mesh_test::MeshFileContent body = mesh_test::twoQuadraticElements();
    for (int round = 0; round < 1500; ++round) {
        mesh_test::MeshFileContent content = body;
        content.nodes = counts[random_() % std::size(counts)];
        content.elements = counts[random_() % std::size(counts)];
        content.facets = counts[random_() % std::size(counts)];
        content.nodesPerElement = orders[random_() % std::size(orders)];
        ASSERT_EQ(readAndDump(content.bytes()), "")
            << content.nodes << " " << content.elements << " " << content.facets << " " << content.nodesPerElement;
    }
}

}  // namespace
}  // namespace mesh_solve
