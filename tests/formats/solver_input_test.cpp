// The solver input sections: splitting the golden file, the heading rules, writing sections back,
// and the values on their lines.
#include <gtest/gtest.h>

#include <sstream>

#include "formats/solver_input.h"
#include "support/format_files.h"

namespace formats {
namespace {

SolverInputSections sectionsOf(const std::string& text) {
    std::istringstream in(text);
    return readSolverInputSections(in);
}

TEST(SolverInputSections, GoldenFileSplitsIntoItsSections) {
    const auto sections = readSolverInputFile(golden::path("solver_input.txt"));
    ASSERT_TRUE(sections.has_value());
    EXPECT_EQ(sections->firstValueLine("MFILE")->text, "/p/case 1.meb");
    EXPECT_TRUE(sections->has("TSTEP"));
    EXPECT_FALSE(sections->has("BUCKLE"));
    ASSERT_EQ(sections->lines("ESIZE").size(), 3u);
    EXPECT_EQ(sections->lines("ESIZE")[2].number, 20);
    EXPECT_EQ(sections->lines("MSET")[0].text, " 50 0.5 0.75 1 0.2 3 4 5 6 0 0")
        << "body lines keep their blanks";
    EXPECT_EQ(sections->valueLines("CONSTRAINTS").size(), 1u);
    EXPECT_TRUE(sections->lines("NONE").empty());
    EXPECT_FALSE(readSolverInputFile("/no/such/input.txt").has_value());

    const auto header = splitHeaderLine(sections->firstValueLine("HEADER")->text);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->unitText, "in");
    EXPECT_EQ(header->value("scale"), "0.03937");
    EXPECT_EQ(header->value("ana"), "-1");
    EXPECT_FALSE(header->value("none").has_value());
    EXPECT_FALSE(splitHeaderLine("0.001").has_value());
}

TEST(SolverInputSections, HeadingsStartTheLineAndRepeatedOnesContinue) {
    const auto sections = sectionsOf(
        "before\r\nLOADS\r\n\r\n; note\r\n LOADS\r\nbol 1 1 2\r\nMATERIALS\r\nLOADS\r\nal 0, 0, -9.81\r\n");
    EXPECT_FALSE(sections.has("before"));
    const auto loads = sections.valueLines("LOADS");
    ASSERT_EQ(loads.size(), 3u);
    EXPECT_EQ(loads[0].text, "LOADS") << "an indented word is a body line";
    EXPECT_EQ(loads[0].number, 5);
    EXPECT_EQ(loads[2].text, "al 0, 0, -9.81");
    EXPECT_EQ(sections.lines("LOADS").size(), 5u) << "blank and comment lines stay in the section";
    EXPECT_TRUE(sections.lines("MATERIALS").empty());
}

TEST(SolverInputSections, WrittenSectionsReadBack) {
    const std::string text = solverInputText({{"HEADER", {"0.001 mm scale=1 nod=4 elem=0 ana=0"}},
                                              {"MSET", {}},
                                              {"ESIZE", {"bos 3 2.000000", "eos 1 1.000000"}}});
    EXPECT_EQ(text,
              "HEADER\n0.001 mm scale=1 nod=4 elem=0 ana=0\nMSET\nESIZE\nbos 3 2.000000\neos 1 1.000000\n");
    const auto sections = sectionsOf(text);
    EXPECT_TRUE(sections.has("MSET"));
    EXPECT_EQ(sections.lines("ESIZE")[1].number, 6);
}

TEST(SolverInputValues, ListsSplitOutsideParenthesesAndNumbersAreWhole) {
    EXPECT_EQ(splitTopLevel("min(a,b), 3,", ','), (std::vector<std::string>{"min(a,b)", " 3", ""}));
    EXPECT_EQ(splitTopLevel("f(x)), 2", ','), (std::vector<std::string>{"f(x))", " 2"}))
        << "a stray closing parenthesis does not swallow the rest";
    EXPECT_EQ(words(" bol\t1  2\r\n"), (std::vector<std::string>{"bol", "1", "2"}));
    EXPECT_EQ(trimmed(" \t-9.81\r\n"), "-9.81");
    EXPECT_EQ(parseNumber("-1.5e-3"), -1.5e-3);
    EXPECT_EQ(parseNumber("+2"), 2.0);
    for (const char* bad : {"", "1.5 ", "1,5", "3 mm", "1e999", "1e-400", "x"})
        EXPECT_FALSE(parseNumber(bad).has_value()) << bad;
    EXPECT_EQ(parseInt("-2147483647"), -2147483647);
    for (const char* bad : {"2147483648", "1.0", "7 ", ""}) EXPECT_FALSE(parseInt(bad).has_value()) << bad;
}

}  // namespace
}  // namespace formats
