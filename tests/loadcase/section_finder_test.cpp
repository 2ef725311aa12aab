// Finding keyword lines in the add-on's text files.
#include <gtest/gtest.h>

#include <sstream>

#include "loadcase/section_finder.h"
#include "loadcase/text_lines.h"
#include "support/scratch_folder.h"

using loadcase::findSection;
using loadcase::SearchFrom;

namespace {

const char* const kResults =
    "MESHFILE\n/p/a.meb\n"
    "  DISPLACEMENTS 3\n1 0 0 0\n"
    "STRESS\n1 2 3\n"
    "TEMP 0\n"
    "MODE -2 extra\n"
    "MODE 7\n";

TEST(SectionFinder, AnswersTheNumberAfterTheKeywordOr1) {
    std::istringstream in(kResults);
    EXPECT_EQ(findSection(in, "DISPLACEMENTS", 4), 3);  // indented, compared on four characters
    EXPECT_EQ(findSection(in, "STRESS", 6), 1);         // no number
    EXPECT_EQ(findSection(in, "TEMP", 4), 1);           // number 0
    EXPECT_EQ(findSection(in, "MODE", 4), -2);
    EXPECT_EQ(findSection(in, "NOPE", 4), 0);
}

TEST(SectionFinder, ContinuesFromTheLastMatchWhenAsked) {
    std::istringstream in(kResults);
    EXPECT_EQ(findSection(in, "MODE", 4), -2);
    EXPECT_EQ(findSection(in, "MODE", 4, SearchFrom::Here), 7);
    EXPECT_EQ(findSection(in, "MODE", 4, SearchFrom::Here), 0);
    EXPECT_EQ(findSection(in, "MODE", 4, SearchFrom::Start), -2);
}

TEST(SectionFinder, LeavesTheStreamAtTheLineAfterTheMatch) {
    std::istringstream in("HEADER\n0.001 mm 0 nod=10 elem=0 ana=0\n");
    ASSERT_EQ(findSection(in, "HEADER", 3), 1);
    std::string line;
    ASSERT_TRUE(loadcase::readLine(in, line));
    EXPECT_EQ(line, "0.001 mm 0 nod=10 elem=0 ana=0");
}

TEST(SectionFinder, ComparesOnlyTheRequestedLength) {
    std::istringstream in("HEAVY 4\n");
    EXPECT_EQ(findSection(in, "HEADER", 3), 4);
    EXPECT_EQ(findSection(in, "HEADER", 4), 0);
    EXPECT_EQ(findSection(in, "HEAVY", 99), 4);  // longer than the keyword: the whole keyword
    EXPECT_EQ(findSection(in, "HEAVY", 0), 0);   // nothing to look for
}

TEST(SectionFinder, KeywordOnAVeryLongLineIsNotFoundInItsTail) {
    std::istringstream in(std::string(150, 'x') + "NODES 5\nNODES 6\n");
    EXPECT_EQ(findSection(in, "NODES", 5), 6);
}

TEST(SectionFinder, FileForm) {
    ScratchFolder folder;
    const std::string path = folder.file("Case1.out");
    writeFile(path, kResults);
    EXPECT_EQ(loadcase::findSectionInFile(path, "DISP", 4), 3);
    EXPECT_EQ(loadcase::findSectionInFile(folder.file("missing.out"), "DISP", 4), 0);
}

TEST(TextLines, LeadingIntegerAsAtoiWithClamping) {
    EXPECT_EQ(loadcase::leadingInteger("42abc"), 42);
    EXPECT_EQ(loadcase::leadingInteger("-7"), -7);
    EXPECT_EQ(loadcase::leadingInteger("x1"), 0);
    EXPECT_EQ(loadcase::leadingInteger("99999999999999999999"), 2147483647);
    EXPECT_EQ(loadcase::leadingInteger("-99999999999999999999"), -2147483647 - 1);
}

}  // namespace
