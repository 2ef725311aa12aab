// The mesher's companion file: the golden file read into its entities and written back byte for
// byte, and damaged files refused with the place of the damage.
#include <gtest/gtest.h>

#include <cstdio>

#include "formats/companion_file.h"
#include "support/format_files.h"

namespace formats {
namespace {

// The entities of tests/data/formats/companion.mtp: two bodies of one element each, a face of 12
// nodes and one of 3, an edge between them and one without nodes, a vertex on node 1 and one on none.
MeshCompanion goldenCompanion() {
    MeshCompanion c;
    c.nodeCount = 20;
    c.elementCount = 2;
    c.bodies = {{1, 1, 1}, {2, 2, 2}};
    c.faces = {{3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}, {7, {13, 14, 15}}};
    c.edges = {{4, 3, 7, {1, 2, 3}}, {8, 3, 0, {}}};
    c.vertices = {{5, 1, {12.5, -0.1, 3}}, {6, 0, {0, 0, 0}}};
    return c;
}

TEST(CompanionFile, GoldenFileReadsAndWritesBackByteForByte) {
    MeshCompanion read;
    const CompanionReadResult result = readCompanionFile(read, golden::path("companion.mtp"));
    ASSERT_EQ(result.status, CompanionReadStatus::Read) << result.message;
    EXPECT_EQ(read, goldenCompanion());

    ScratchFolder folder;
    const std::string path = folder.file("written.mtp");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(writeCompanionFile(file, goldenCompanion()));
    std::fclose(file);
    EXPECT_EQ(readFile(path), golden::bytes("companion.mtp"));

    EXPECT_EQ(companionPathFor("/p/Tip.meb"), "/p/Tip.mtp");
    EXPECT_EQ(companionPathFor("/p/Tip.mesh"), "/p/Tip.mesh.mtp");
    EXPECT_EQ(readCompanionFile(read, folder.file("none.mtp")).status, CompanionReadStatus::NotOpened);
}

TEST(CompanionFile, DamagedFilesAreRefusedWithThePlaceAndLeaveNothing) {
    const std::string golden = golden::bytes("companion.mtp");
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = golden;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        std::string text, messagePart;
    } cases[] = {
        {replaced("TOPOLOGY 1", "TOPOLOGY 2"), "version 2 is not known"},
        {replaced("FACES 2", "FACES -2"), "the count -2 is negative"},
        {replaced(" 13 14 15", " 13 14 21"), "node 21 is not in the mesh"},
        {replaced("5 1 12.5", "5 -1 12.5"), "node -1 is not in the mesh"},
        {replaced("2 2 2\n", "2 2 3\n"), "body 2 has an element range outside the mesh"},
        {replaced("1 1 1\n", "1 1 0\n"), "body 1 has an element range outside the mesh"},
        {replaced("NODES 20", "NODES 4294967297"), "a number is missing or unreadable"},
        {replaced("-0.10000000000000001", "x"), "a coordinate is missing or unreadable"},
        {golden.substr(0, golden.size() - 4), "expected END, found ''"},
    };
    ScratchFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.messagePart);
        writeFile(folder.file("damaged.mtp"), c.text);
        MeshCompanion companion = goldenCompanion();
        const CompanionReadResult result = readCompanionFile(companion, folder.file("damaged.mtp"));
        EXPECT_EQ(result.status, CompanionReadStatus::Refused);
        EXPECT_EQ(result.message, c.messagePart);
        EXPECT_EQ(companion, MeshCompanion{});
    }
}

}  // namespace
}  // namespace formats
