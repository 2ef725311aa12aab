// The "check.mes" dump of meshes read from the golden mesh files.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/mesh_reader.h"
#include "mesh_solve/mesh_dump.h"
#include "support/format_files.h"

namespace mesh_solve {
namespace {

class MeshDump : public ::testing::Test {
  protected:
    void read(const std::string& bytes) {
        writeFile(path_, bytes);
        ASSERT_EQ(readMeshFile(mesh_, path_).status, MeshReadStatus::Read);
    }
    ScratchFolder folder_;
    std::string path_ = folder_.file("job.meb");
    std::string dump_ = folder_.file("check.mes");
    Mesh mesh_;
};

TEST_F(MeshDump, OneLinearElement) {
    read(golden::bytes("linear.meb"));
    EXPECT_EQ(meshDumpPath(folder_.path()), dump_);
    ASSERT_TRUE(writeMeshDump(mesh_, dump_, "mm"));
    EXPECT_EQ(readFile(dump_),
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

TEST_F(MeshDump, RoundsCoordinatesToSixDecimalsAndListsTenNodeElements) {
    std::string bytes = golden::bytes("quadratic.meb");
    const double x = 0.1234567, y = -0.0000004;
    std::memcpy(bytes.data() + golden::kMeshHeaderBytes, &x, sizeof x);
    std::memcpy(bytes.data() + golden::kMeshHeaderBytes + 8, &y, sizeof y);
    read(bytes);
    ASSERT_TRUE(writeMeshDump(mesh_, dump_, "in"));
    const std::string text = readFile(dump_);
    EXPECT_NE(text.find("nod=10"), std::string::npos);
    EXPECT_NE(text.find("\n1 0.123457 -0.000000 3.000000\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n2 10 9 8 7 6 5 4 3 2 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("BOUNDARY FACETS\n3 1 4\n9 2 1\n"), std::string::npos) << text;
}

// A file without nodes or elements is the empty mesh: its dump has the headings only.
TEST_F(MeshDump, EmptyMeshGivesTheHeadingsOnly) {
    read(golden::withInt32(golden::bytes("quadratic.meb"), golden::kNodeCountAt, 0));
    ASSERT_TRUE(writeMeshDump(mesh_, dump_, "m."));
    EXPECT_EQ(readFile(dump_),
              "HEADER\n0.001 m. 0 nod=10 elem=0 ana=0\n"
              "MSUMMARY\n elements=0, nodes=0, facets=0\n"
              "NODES\nELEMENTS\nBOUNDARY FACETS\n");
}

}  // namespace
}  // namespace mesh_solve
