// The mesh file: reading the golden files into the in-memory mesh, refusing damaged ones with a
// message (which releases what was read, keeping the element order), and writing the golden files
// back byte for byte. The face tables are checked where the mesher's facets must lie on the model's
// faces (tests/tools/velgrin) and the solver measures the boundary faces (tests/tools/tarvsolv).
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <vector>

#include "formats/mesh_reader.h"
#include "formats/mesh_writer.h"
#include "support/format_files.h"

namespace mesh_solve {
namespace {

class MeshFile : public ::testing::Test {
  protected:
    MeshReadResult read(const std::string& bytes) {
        writeFile(path_, bytes);
        return readMeshFile(mesh_, path_);
    }
    void loadLinear() { ASSERT_EQ(read(golden::bytes("linear.meb")).status, MeshReadStatus::Read); }
    // The counts: nodes, elements, facets, nodes per element and per facet.
    std::array<std::int32_t, 5> counts() const {
        return {mesh_.nodeCount(), mesh_.elementCount(), mesh_.facetCount(), mesh_.nodesPerElement(),
                mesh_.nodesPerFacet()};
    }
    void expectRefusedAndEmpty(const MeshReadResult& result, const std::string& messagePart) {
        EXPECT_EQ(result.status, MeshReadStatus::Refused);
        EXPECT_NE(result.message.find(messagePart), std::string::npos) << result.message;
        EXPECT_FALSE(mesh_.isLoaded());
        EXPECT_EQ(mesh_.nodeCount() + mesh_.elementCount() + mesh_.facetCount(), 0);
        EXPECT_EQ(mesh_.coordinates().size() + mesh_.connectivity().size() + mesh_.facetElements().size() +
                      mesh_.facetTags().size() + mesh_.faceStates().size(),
                  0u);
    }
    // The mesh as arrays, for the writer.
    MeshArrays arrays() const {
        return {{mesh_.coordinates().begin(), mesh_.coordinates().end()},
                {mesh_.connectivity().begin(), mesh_.connectivity().end()},
                {mesh_.facetTags().begin(), mesh_.facetTags().end()},
                {mesh_.facetElements().begin(), mesh_.facetElements().end()},
                {mesh_.facetFaces().begin(), mesh_.facetFaces().end()}};
    }

    ScratchFolder folder_;
    std::string path_ = folder_.file("job.meb");
    Mesh mesh_;
};

// Every array's values are checked by the dump of the golden meshes (mesh_file_tests.cpp) and by
// writing them back; here the counts, the states and the element order. A file that cannot be
// opened leaves the mesh alone.
TEST_F(MeshFile, LinearGoldenFillsEveryArrayAndStateAndAnUnopenableFileLeavesThem) {
    const MeshReadResult result = read(golden::bytes("linear.meb"));
    ASSERT_EQ(result.status, MeshReadStatus::Read);
    EXPECT_TRUE(result.message.empty());
    EXPECT_TRUE(mesh_.isLoaded());
    EXPECT_EQ(counts(), (std::array<std::int32_t, 5>{4, 1, 1, 4, 3}));
    EXPECT_EQ(mesh_.nodePosition(4), (NodePoint{0.0, 0.0, -3.125}));
    EXPECT_EQ(mesh_.elementStates(), "vv");
    EXPECT_EQ(mesh_.nodeStates(), "vvvvv");
    EXPECT_EQ(mesh_.faceStates(), "iiiiiiiii");
    const MeshReadResult missing = readMeshFile(mesh_, folder_.file("missing.meb"));
    EXPECT_EQ(missing.status, MeshReadStatus::NotOpened);
    EXPECT_FALSE(missing.opened());
    EXPECT_TRUE(mesh_.isLoaded());
    EXPECT_EQ(mesh_.nodeCount(), 4);
}

TEST_F(MeshFile, QuadraticGoldenKeepsElementOrderAndFacetRecords) {
    // Reserved header bytes carry nothing the readers use, and bytes after the facets are ignored.
    std::string bytes =
        golden::withInt32(golden::bytes("quadratic.meb"), 16, 12345) + std::string(16, '\xFF');
    ASSERT_EQ(read(bytes).status, MeshReadStatus::Read);
    EXPECT_EQ(counts(), (std::array<std::int32_t, 5>{20, 2, 2, 10, 6}));
    EXPECT_EQ(mesh_.elementNodes(1).front(), 20);
    EXPECT_EQ(mesh_.nodePosition(20), (NodePoint{20.0, 40.0, 60.0}));
    EXPECT_EQ(mesh_.faceStates().size(), 13u);
    EXPECT_THROW(mesh_.elementNodes(3), std::out_of_range);
    EXPECT_THROW(mesh_.nodePosition(0), std::out_of_range);
}

TEST_F(MeshFile, WriterReproducesTheGoldenFiles) {
    for (const char* name : {"linear.meb", "quadratic.meb"}) {
        ASSERT_EQ(read(golden::bytes(name)).status, MeshReadStatus::Read);
        const std::string copy = folder_.file("copy.meb");
        ASSERT_TRUE(writeMeshFile(copy, mesh_.nodesPerElement(), arrays()));
        EXPECT_EQ(readFile(copy), golden::bytes(name)) << name;
    }
    EXPECT_FALSE(writeMeshFile(folder_.file("no-such-folder/a.meb"), 4, arrays()));
}

// A file without nodes or without elements is an empty mesh, not a damaged one, whatever its facet
// count; it sets the element order all the same.
TEST_F(MeshFile, EmptyCountsReadNothing) {
    for (const auto& [nodes, elements] : {std::pair{0, 3}, std::pair{5, 0}, std::pair{0, 0}}) {
        SCOPED_TRACE(std::to_string(nodes) + " nodes, " + std::to_string(elements) + " elements");
        loadLinear();
        std::string header = golden::bytes("quadratic.meb").substr(0, golden::kMeshHeaderBytes);
        header = golden::withInt32(golden::withInt32(header, golden::kNodeCountAt, nodes),
                                   golden::kElementCountAt, elements);
        EXPECT_EQ(read(golden::withInt32(header, golden::kFacetCountAt, 1000)).status, MeshReadStatus::Read);
        EXPECT_FALSE(mesh_.isLoaded());
        EXPECT_EQ(mesh_.nodeCount() + mesh_.elementCount() + mesh_.facetCount(), 0);
        EXPECT_EQ(mesh_.nodesPerElement(), 10);
        EXPECT_TRUE(mesh_.nodeStates().empty());
    }
}

TEST_F(MeshFile, DamagedFilesAreRefusedWithTheirFault) {
    const std::string linear = golden::bytes("linear.meb"), quadratic = golden::bytes("quadratic.meb");
    const std::size_t linearConnectivity = golden::kMeshHeaderBytes + 4 * 24;
    const std::size_t quadraticFacets = golden::kMeshHeaderBytes + 20 * 24 + 20 * 4;
    const struct {
        std::string bytes;
        const char* message;
    } cases[] = {
        {quadratic.substr(0, 27), "too short"},
        {quadratic.substr(0, quadratic.size() - 1), "holds 611 bytes"},
        {"", "too short"},
        {golden::withInt32(linear, golden::kNodesPerElementAt, 7), "7 nodes per element"},
        {golden::withInt32(linear, golden::kFacetCountAt, -1), "negative count"},
        {golden::withInt32(linear, golden::kNodeCountAt, 0x7FFFFFFF), "too large"},
        {golden::withInt32(quadratic, golden::kElementCountAt, 300000000), "too large"},
        {golden::withInt32(linear, golden::kFacetCountAt, 100000000), "need 1200000140"},
        {golden::withInt32(linear, linearConnectivity + 8, 5), "element 1 names node 5"},
        {golden::withInt32(linear, linearConnectivity + 8, 0), "names node 0"},
        {golden::withInt32(linear, linearConnectivity + 8, -2147483647 - 1), "outside 1 to 4"},
        {golden::withInt32(quadratic, quadraticFacets + 16, 3), "boundary facet 2 names element 3"},
        {golden::withInt32(quadratic, quadraticFacets + 8, 5), "boundary facet 1 names face 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        loadLinear();
        expectRefusedAndEmpty(read(c.bytes), c.message);
    }
    loadLinear();
    read(golden::withInt32(quadratic, golden::kNodesPerElementAt, 7));
    EXPECT_EQ(mesh_.nodesPerElement(), 4) << "a refused header must not set the element order";
}

}  // namespace
}  // namespace mesh_solve
