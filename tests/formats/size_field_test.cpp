// The refinement size field: written by the solver and read back by the mesher unchanged; a
// damaged file is refused whole, and a failed write leaves the file that was there.
#include <gtest/gtest.h>

#include <fstream>

#include "formats/size_field.h"
#include "support/format_files.h"

namespace formats {
namespace {

SizeField twoTetrahedra() {
    SizeField f;
    f.unitText = "in";
    f.positions = {{0, 0, 0}, {1.5, 0, 0}, {0, 2.25, 0}, {0, 0, 3}, {1, 1, 1}};
    f.sizes = {0.125, 0.5, 0.5, 0.75, 0.0625};
    f.tetrahedra = {{1, 2, 3, 4}, {2, 3, 4, 5}};
    return f;
}

TEST(SizeField, WrittenFieldReadsBackUnchanged) {
    ScratchFolder folder;
    const std::string path = folder.file("job.size");
    ASSERT_TRUE(writeSizeField(path, twoTetrahedra()));
    SizeField read;
    EXPECT_EQ(readSizeField(path, read), "");
    EXPECT_EQ(read, twoTetrahedra());
    // A field whose sizes do not match its nodes is not written, and the old file stays.
    SizeField broken = twoTetrahedra();
    broken.sizes.pop_back();
    EXPECT_FALSE(writeSizeField(path, broken));
    EXPECT_EQ(readSizeField(path, read), "");
    EXPECT_EQ(read, twoTetrahedra());
}

TEST(SizeField, DamagedFilesAreRefusedWhole) {
    ScratchFolder folder;
    const std::string path = folder.file("job.size");
    const std::string head = "KOLVANE SIZE FIELD 1\nUNIT mm\nNODES 4\n0 0 0 1\n1 0 0 1\n0 1 0 1\n0 0 1 ";
    const struct {
        const char* tail;
        const char* why;
    } cases[] = {
        {"1\nTETRAHEDRA 1\n1 2 3 5\nEND\n", "node 5 is not in the mesh"},
        {"0\nTETRAHEDRA 1\n1 2 3 4\nEND\n", "size of 0 or less"},
        {"1\nTETRAHEDRA 99999999999\n", "a number is missing or unreadable"},
        {"1\nTETRAHEDRA 2\n1 2 3 4\n", "missing"},
        {"nan\nTETRAHEDRA 1\n1 2 3 4\nEND\n", "unreadable"},
    };
    for (const auto& c : cases) {
        std::ofstream(path) << head << c.tail;
        SizeField read = twoTetrahedra();
        const std::string why = readSizeField(path, read);
        EXPECT_NE(why.find(c.why), std::string::npos) << c.tail << ": " << why;
        EXPECT_TRUE(read.positions.empty() && read.tetrahedra.empty()) << c.tail;
    }
    SizeField read;
    EXPECT_NE(readSizeField(folder.file("none.size"), read).find("cannot be opened"), std::string::npos);
}

}  // namespace
}  // namespace formats
