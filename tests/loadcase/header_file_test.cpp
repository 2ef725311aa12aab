// The header file of a new loadcase and what reading a header or solver input gives back.
#include <gtest/gtest.h>

#include <sstream>

#include "loadcase/header_file.h"
#include "support/scratch_folder.h"

using loadcase::AnalysisSetting;
using loadcase::readHeader;

namespace {

struct CodeCase {
    int code;
    AnalysisSetting expected;  // read with the current solve index 2
};

class HeaderCode : public testing::TestWithParam<CodeCase> {};

TEST_P(HeaderCode, WrittenAndReadBackGivesTheTypeAndSolveIndex) {
    ScratchFolder folder;
    const std::string job = folder.file("Case1");
    for (const char* units : {"mm", "cm", "m.", "in", "ft"}) {
        ASSERT_TRUE(loadcase::writeHeaderFile(job + ".txt", units, GetParam().code, job + ".meb").ok());
        const auto header = loadcase::readHeaderFile(job, {0, 2});
        EXPECT_TRUE(header.fileRead);
        EXPECT_EQ(header.analysis, GetParam().expected) << "code " << GetParam().code << " units " << units;
        EXPECT_EQ(header.meshPath, job + ".meb");
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCode, HeaderCode,
                         testing::Values(CodeCase{-1, {0, 1}}, CodeCase{0, {0, 0}}, CodeCase{1, {6, 6}},
                                         CodeCase{2, {6, 7}}, CodeCase{3, {0, 4}}, CodeCase{4, {0, 2}},
                                         CodeCase{5, {0, 5}}, CodeCase{6, {0, 2}}, CodeCase{7, {0, 2}},
                                         CodeCase{8, {8, 8}}, CodeCase{9, {8, 9}}, CodeCase{10, {8, 10}},
                                         CodeCase{11, {10, 11}}, CodeCase{14, {10, 14}},
                                         CodeCase{15, {8, 8}}));

// What a header or solver input text gives, read with the current setting {0, 2}: extra fields
// after "ana=" are passed over, later lines override earlier ones, comments, blank lines and
// indentation are skipped, and an incomplete line changes nothing.
TEST(HeaderFile, TextsGiveTheirTypeSolveIndexAndMeshPath) {
    const std::string longPath = "/projects/" + std::string(200, 'd') + "/Bracket.meb";
    const struct {
        std::string text;
        AnalysisSetting analysis;
        std::string meshPath;
    } cases[] = {
        {"HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=-1 0.5 1 3\n", {0, 1}, "default.meb"},
        {"HEADER\n0.001 mm 0 nod=10 elem=0 ana=1\nBUCKLE\n", {0, 3}, "default.meb"},
        {"BUCKLE\nHEADER\n0.001 mm 0 nod=10 elem=0 ana=2\n", {6, 7}, "default.meb"},
        {"; a comment\n\n   HEADER\n0.001 in 0 nod=10 elem=0 ana=2\n  MFILE\n/x/y.meb\r\n",
         {6, 7},
         "/x/y.meb"},
        {"MFILE\n" + longPath + "\n", {0, 2}, longPath},
        {"HEADER\n0.001 mm 0 nod=10\n", {0, 2}, "default.meb"},
        {"HEADER\n0.001 mm 0 nod=10 elem=0 ana1\n", {0, 2}, "default.meb"},
        {"HEADER", {0, 2}, "default.meb"},
        {"MFILE\n", {0, 2}, "default.meb"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        const auto header = readHeader(in, "default.meb", {0, 2});
        EXPECT_EQ(header.analysis, c.analysis) << c.text;
        EXPECT_EQ(header.meshPath, c.meshPath) << c.text;
    }
    // A missing file gives the defaults.
    ScratchFolder folder;
    const std::string job = folder.file("None");
    const auto header = loadcase::readHeaderFile(job, {6, 7});
    EXPECT_FALSE(header.fileRead);
    EXPECT_EQ(header.analysis, (AnalysisSetting{6, 7}));
    EXPECT_EQ(header.meshPath, job + ".meb");
}

}  // namespace
