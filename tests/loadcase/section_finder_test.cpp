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

// The number after the keyword, 1 without one (or with 0), 0 when not found; from the start or on
// from the last match; in a file too.
TEST(SectionFinder, AnswersTheNumberAfterTheKeywordOr1) {
    std::istringstream in(kResults);
    EXPECT_EQ(findSection(in, "DISPLACEMENTS", 4), 3);  // indented, compared on four characters
    EXPECT_EQ(findSection(in, "STRESS", 6), 1);         // no number
    EXPECT_EQ(findSection(in, "TEMP", 4), 1);           // number 0
    EXPECT_EQ(findSection(in, "MODE", 4), -2);
    EXPECT_EQ(findSection(in, "MODE", 4, SearchFrom::Here), 7);
    EXPECT_EQ(findSection(in, "MODE", 4, SearchFrom::Here), 0);
    EXPECT_EQ(findSection(in, "MODE", 4, SearchFrom::Start), -2);
    EXPECT_EQ(findSection(in, "NOPE", 4), 0);
    ScratchFolder folder;
    writeFile(folder.file("Case1.out"), kResults);
    EXPECT_EQ(loadcase::findSectionInFile(folder.file("Case1.out"), "DISP", 4), 3);
    EXPECT_EQ(loadcase::findSectionInFile(folder.file("missing.out"), "DISP", 4), 0);
}

// Only the requested length is compared, on the line's head; the stream is left after the match.
TEST(SectionFinder, ComparesTheHeadOfTheLineOnTheRequestedLength) {
    std::istringstream in("HEAVY 4\n" + std::string(150, 'x') + "NODES 5\nNODES 6\nrest\n");
    EXPECT_EQ(findSection(in, "HEADER", 3), 4);
    EXPECT_EQ(findSection(in, "HEADER", 4), 0);
    EXPECT_EQ(findSection(in, "HEAVY", 99), 4);  // longer than the keyword: the whole keyword
    EXPECT_EQ(findSection(in, "HEAVY", 0), 0);   // nothing to look for
    EXPECT_EQ(findSection(in, "NODES", 5), 6) << "not in the tail of a very long line";
    std::string line;
    ASSERT_TRUE(loadcase::readLine(in, line));
    EXPECT_EQ(line, "rest");
}

TEST(TextLines, LeadingIntegerAsAtoiWithClamping) {
    EXPECT_EQ(loadcase::leadingInteger("42abc"), 42);
    EXPECT_EQ(loadcase::leadingInteger("-7"), -7);
    EXPECT_EQ(loadcase::leadingInteger("x1"), 0);
    EXPECT_EQ(loadcase::leadingInteger("99999999999999999999"), 2147483647);
    EXPECT_EQ(loadcase::leadingInteger("-99999999999999999999"), -2147483647 - 1);
}

}  // namespace
