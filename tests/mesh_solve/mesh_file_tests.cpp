// Reading binary mesh files into the in-memory mesh, the face tables, release and the "check.mes" dump.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <utility>
#include <vector>

#include "mesh_file_builder.h"
#include "mesh_solve/face_tables.h"
#include "mesh_solve/mesh_dump.h"
#include "mesh_solve/mesh_reader.h"
#include "mesh_solve/mesh_store.h"
#include "support/scratch_folder.h"

namespace mesh_solve {
namespace {

using mesh_test::MeshFileContent;
using mesh_test::TempFolder;

class MeshFileTest : public ::testing::Test {
protected:
    MeshReadResult read(const MeshFileContent& content) { return readBytes(content.bytes()); }
    MeshReadResult readBytes(const mesh_test::Bytes& bytes) {
        mesh_test::writeFile(path_, bytes);
        return readMeshFile(mesh_, path_);
    }
    void loadSingleLinearElement() { ASSERT_EQ(read(mesh_test::singleLinearElement()).status, MeshReadStatus::Read); }
    void expectRefusedAndEmpty(const MeshReadResult& result, const std::string& messagePart) {
        EXPECT_EQ(result.status, MeshReadStatus::Refused);
        EXPECT_NE(result.message.find(messagePart), std::string::npos) << result.message;
        expectEmpty();
    }
    void expectEmpty() {
        EXPECT_FALSE(mesh_.isLoaded());
        EXPECT_EQ(mesh_.nodeCount(), 0);
        EXPECT_EQ(mesh_.elementCount(), 0);
        EXPECT_EQ(mesh_.facetCount(), 0);
        EXPECT_TRUE(mesh_.coordinates().empty());
        EXPECT_TRUE(mesh_.connectivity().empty());
        EXPECT_TRUE(mesh_.facetElements().empty());
        EXPECT_TRUE(mesh_.faceStates().empty());
    }

    TempFolder folder_;
    std::string path_ = folder_.file("job.meb");
    Mesh mesh_;
};

TEST_F(MeshFileTest, LinearFileFillsEveryArrayAndState) {
    const MeshReadResult result = read(mesh_test::singleLinearElement());
    ASSERT_EQ(result.status, MeshReadStatus::Read);
    EXPECT_TRUE(result.message.empty());
    EXPECT_TRUE(mesh_.isLoaded());
    EXPECT_EQ(mesh_.nodeCount(), 4);
    EXPECT_EQ(mesh_.elementCount(), 1);
    EXPECT_EQ(mesh_.facetCount(), 1);
    EXPECT_EQ(mesh_.nodesPerElement(), 4);
    EXPECT_EQ(mesh_.nodesPerFacet(), 3);
    EXPECT_EQ(std::vector<double>(mesh_.coordinates().begin(), mesh_.coordinates().end()),
              mesh_test::singleLinearElement().coordinates);
    EXPECT_EQ(mesh_.nodePosition(4), (host::Point3{0.0, 0.0, -3.125}));
    EXPECT_EQ(std::vector<std::int32_t>(mesh_.elementNodes(1).begin(), mesh_.elementNodes(1).end()),
              (std::vector<std::int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(mesh_.facetTags()[0], 7);
    EXPECT_EQ(mesh_.facetElements()[0], 1);
    EXPECT_EQ(mesh_.facetFaces()[0], 2);
    EXPECT_EQ(mesh_.elementStates(), "vv");
    EXPECT_EQ(mesh_.nodeStates(), "vvvvv");
    EXPECT_EQ(mesh_.faceStates(), "iiiiiiiii");
}

TEST_F(MeshFileTest, QuadraticFileKeepsElementOrderAndFacetRecords) {
    ASSERT_EQ(read(mesh_test::twoQuadraticElements()).status, MeshReadStatus::Read);
    EXPECT_EQ(mesh_.nodesPerElement(), 10);
    EXPECT_EQ(mesh_.nodesPerFacet(), 6);
    EXPECT_EQ(mesh_.elementNodes(1).front(), 20);
    EXPECT_EQ(mesh_.elementNodes(2).front(), 10);
    EXPECT_EQ(mesh_.elementNodes(2).back(), 1);
    EXPECT_EQ(mesh_.nodePosition(20), (host::Point3{20.0, 40.0, 60.0}));
    EXPECT_EQ(std::vector<std::int32_t>(mesh_.facetTags().begin(), mesh_.facetTags().end()),
              (std::vector<std::int32_t>{3, 9}));
    EXPECT_EQ(mesh_.facetElements()[1], 2);
    EXPECT_EQ(mesh_.facetFaces()[0], 4);
    EXPECT_EQ(mesh_.faceStates().size(), 13u);
    EXPECT_THROW(mesh_.elementNodes(3), std::out_of_range);
    EXPECT_THROW(mesh_.nodePosition(0), std::out_of_range);
}

// The quadratic faces must be the linear faces with mid-side nodes between their corners: corners
// 1, 3, 5, 10 play the linear corners 1, 2, 3, 4, and each mid-side node sits on the edge it names.
TEST(FaceTableTest, QuadraticFacesRefineTheLinearFaces) {
    const auto linearCorner = [](std::int32_t quadraticCorner) {
        return quadraticCorner == 10 ? 4 : (quadraticCorner + 1) / 2;
    };
    const auto edgeMidNode = [](std::int32_t a, std::int32_t b) {
        const std::int32_t lo = std::min(a, b), hi = std::max(a, b);
        if (hi == 10) return lo == 1 ? 7 : lo == 3 ? 8 : 9;
        return lo == 1 && hi == 5 ? 6 : lo + 1;
    };
    for (std::int32_t face = 1; face <= 4; ++face) {
        const auto quad = localFaceNodes(10, face);
        const auto lin = localFaceNodes(4, face);
        for (int corner = 0; corner < 3; ++corner) {
            EXPECT_EQ(linearCorner(quad[2 * corner]), lin[corner]) << "face " << face;
            EXPECT_EQ(quad[2 * corner + 1], edgeMidNode(quad[2 * corner], quad[(2 * corner + 2) % 6]))
                << "face " << face;
        }
    }
    EXPECT_TRUE(localFaceNodes(4, 0).empty());
    EXPECT_TRUE(localFaceNodes(10, 5).empty());
}

// A file without nodes or without elements is an empty mesh, not a damaged one: it reads, and its
// dump has only the headings.
TEST_F(MeshFileTest, EmptyCountsReadNothingWhateverTheFacetCount) {
    const std::string dump = folder_.file("check.mes");
    for (const auto& [nodes, elements] : {std::pair{0, 3}, std::pair{5, 0}, std::pair{0, 0}}) {
        SCOPED_TRACE(std::to_string(nodes) + " nodes, " + std::to_string(elements) + " elements");
        loadSingleLinearElement();
        MeshFileContent header;
        header.nodes = nodes;
        header.elements = elements;
        header.facets = 1000;
        header.nodesPerElement = 10;
        EXPECT_EQ(read(header).status, MeshReadStatus::Read);
        expectEmpty();
        EXPECT_EQ(mesh_.nodesPerElement(), 10);
        EXPECT_TRUE(mesh_.nodeStates().empty());
        ASSERT_TRUE(writeMeshDump(mesh_, dump, "m."));
        EXPECT_EQ(readFile(dump),
                  "HEADER\n0.001 m. 0 nod=10 elem=0 ana=0\n"
                  "MSUMMARY\n elements=0, nodes=0, facets=0\n"
                  "NODES\nELEMENTS\nBOUNDARY FACETS\n");
    }
}

TEST_F(MeshFileTest, UnopenableFileLeavesTheMeshAlone) {
    loadSingleLinearElement();
    const MeshReadResult result = readMeshFile(mesh_, folder_.file("missing.meb"));
    EXPECT_EQ(result.status, MeshReadStatus::NotOpened);
    EXPECT_FALSE(result.opened());
    EXPECT_TRUE(mesh_.isLoaded());
    EXPECT_EQ(mesh_.nodeCount(), 4);
}

TEST_F(MeshFileTest, ShortFilesAreRefusedBeforeAnythingIsRead) {
    const mesh_test::Bytes whole = mesh_test::twoQuadraticElements().bytes();
    loadSingleLinearElement();
    expectRefusedAndEmpty(readBytes(mesh_test::Bytes(whole.begin(), whole.begin() + 27)), "too short");
    loadSingleLinearElement();
    expectRefusedAndEmpty(readBytes(mesh_test::Bytes(whole.begin(), whole.end() - 1)), "holds 611 bytes");
    expectRefusedAndEmpty(readBytes({}), "too short");
}

TEST_F(MeshFileTest, TrailingBytesAfterTheFacetsAreIgnored) {
    mesh_test::Bytes bytes = mesh_test::twoQuadraticElements().bytes();
    bytes.insert(bytes.end(), 16, 0xFF);
    ASSERT_EQ(readBytes(bytes).status, MeshReadStatus::Read);
    EXPECT_EQ(mesh_.facetTags()[1], 9);
}

TEST_F(MeshFileTest, DamagedHeadersAreRefused) {
    MeshFileContent content = mesh_test::singleLinearElement();
    content.nodesPerElement = 7;
    expectRefusedAndEmpty(read(content), "7 nodes per element");
    EXPECT_EQ(mesh_.nodesPerElement(), 10) << "a refused file must not set the element order";

    content = mesh_test::singleLinearElement();
    content.facets = -1;
    expectRefusedAndEmpty(read(content), "negative count");

    content = mesh_test::singleLinearElement();
    content.nodes = 0x7FFFFFFF;
    expectRefusedAndEmpty(read(content), "too large");

    content = mesh_test::twoQuadraticElements();
    content.elements = 300000000;
    expectRefusedAndEmpty(read(content), "too large");

    content = mesh_test::singleLinearElement();
    content.facets = 100000000;
    expectRefusedAndEmpty(read(content), "need 1200000140");
}

TEST_F(MeshFileTest, ReferencesOutsideTheMeshAreRefused) {
    MeshFileContent content = mesh_test::singleLinearElement();
    content.connectivity[2] = 5;
    expectRefusedAndEmpty(read(content), "element 1 names node 5");
    content.connectivity[2] = 0;
    expectRefusedAndEmpty(read(content), "names node 0");
    content.connectivity[2] = -2147483647 - 1;
    expectRefusedAndEmpty(read(content), "outside 1 to 4");

    content = mesh_test::twoQuadraticElements();
    content.facetRecords[4] = 3;
    expectRefusedAndEmpty(read(content), "boundary facet 2 names element 3");
    content = mesh_test::twoQuadraticElements();
    content.facetRecords[2] = 5;
    expectRefusedAndEmpty(read(content), "boundary facet 1 names face 5");
}

TEST_F(MeshFileTest, ReleaseEmptiesTheMeshAndKeepsTheElementOrder) {
    ASSERT_EQ(read(mesh_test::singleLinearElement()).status, MeshReadStatus::Read);
    mesh_.release();
    expectEmpty();
    EXPECT_TRUE(mesh_.facetTags().empty());
    EXPECT_EQ(mesh_.nodesPerElement(), 4);
    EXPECT_THROW(mesh_.elementNodes(1), std::out_of_range);
    ASSERT_EQ(read(mesh_test::twoQuadraticElements()).status, MeshReadStatus::Read);
    EXPECT_EQ(mesh_.nodeCount(), 20);
}

TEST_F(MeshFileTest, LibraryMeshIsTheOneReadByPath) {
    mesh_test::writeFile(path_, mesh_test::twoQuadraticElements().bytes());
    ASSERT_EQ(readMeshFile(path_).status, MeshReadStatus::Read);
    EXPECT_EQ(libraryMesh().nodeCount(), 20);
    libraryMesh().release();
    EXPECT_FALSE(libraryMesh().isLoaded());
}

TEST_F(MeshFileTest, DumpOfOneLinearElement) {
    loadSingleLinearElement();
    const std::string dump = meshDumpPath(folder_.path().string());
    EXPECT_EQ(dump, folder_.file("check.mes"));
    ASSERT_TRUE(writeMeshDump(mesh_, dump, "mm"));
    EXPECT_EQ(readFile(dump),
              "HEADER\n0.001 mm 0 nod=4 elem=0 ana=0\n"
              "MSUMMARY\n elements=1, nodes=4, facets=1\n"
              "NODES\n"
              "1 0.000000 0.000000 0.000000\n"
              "2 1.500000 0.000000 0.000000\n"
              "3 0.000000 2.250000 0.000000\n"
              "4 0.000000 0.000000 -3.125000\n"
              "ELEMENTS\n1 1 2 3 4\n"
              "BOUNDARY FACETS\n7 1 2\n");
    EXPECT_FALSE(writeMeshDump(mesh_, folder_.file("no-such-folder/check.mes"), "mm"));
}

TEST_F(MeshFileTest, DumpRoundsCoordinatesToSixDecimalsAndListsTenNodeElements) {
    MeshFileContent content = mesh_test::twoQuadraticElements();
    content.coordinates[0] = 0.1234567;
    content.coordinates[1] = -0.0000004;
    ASSERT_EQ(read(content).status, MeshReadStatus::Read);
    const std::string dump = folder_.file("check.mes");
    ASSERT_TRUE(writeMeshDump(mesh_, dump, "in"));
    const std::string text = readFile(dump);
    EXPECT_NE(text.find("nod=10"), std::string::npos);
    EXPECT_NE(text.find("\n1 0.123457 -0.000000 3.000000\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n2 10 9 8 7 6 5 4 3 2 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("BOUNDARY FACETS\n3 1 4\n9 2 1\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace mesh_solve
