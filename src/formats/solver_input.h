#pragma once
// The solver input file the add-on writes for the mesher and the solver: sections, each a heading
// line holding one of the known words alone at the start of the line, followed by its body lines.
// The reader splits the file into sections and leaves the meaning of each body to its program: the
// mesher takes HEADER, MODEL, MFILE, MSET and ESIZE, the solver all of them.
#include <istream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/input_values.h"

namespace formats {

struct InputLine {
    int number = 0;    // 1-based line number in the file, for messages
    std::string text;  // as in the file, without its line end
};

class SolverInputSections {
  public:
    bool has(std::string_view heading) const { return sections_.find(heading) != sections_.end(); }
    // The body lines of `heading` in file order; empty when the file has no such section. A heading
    // that appears again continues its section.
    const std::vector<InputLine>& lines(std::string_view heading) const;
    // The first body line of `heading` that is neither blank nor a ';' comment; nothing when none.
    std::optional<InputLine> firstValueLine(std::string_view heading) const;
    // The body lines of `heading` that are neither blank nor ';' comments, trimmed.
    std::vector<InputLine> valueLines(std::string_view heading) const;

    std::vector<InputLine>& addSection(std::string_view heading);

  private:
    std::map<std::string, std::vector<InputLine>, std::less<>> sections_;
};

// Every heading the add-on writes.
bool isSolverInputHeading(std::string_view word);

// Splits `in` into its sections. Lines before the first heading belong to no section; any other
// line is a body line of the section it stands in. A carriage return before a line feed is dropped.
SolverInputSections readSolverInputSections(std::istream& in);
// The same from the file at `path`; nothing when it cannot be opened.
std::optional<SolverInputSections> readSolverInputFile(const std::string& path);

// The header line "0.001 <unit> scale=<s> nod=<n> elem=0 ana=<a> [s1 s3 s2]": its unit text (the
// second field) and its "key=value" fields in order.
struct HeaderLine {
    std::string unitText;
    std::vector<std::pair<std::string, std::string>> values;
    // The value text of `key`, nothing when the line has none.
    std::optional<std::string> value(std::string_view key) const;
};
// Nothing when the line has fewer than two fields.
std::optional<HeaderLine> splitHeaderLine(std::string_view text);

// One section to write: its heading and its body lines (without line feeds).
struct SolverInputSection {
    std::string heading;
    std::vector<std::string> lines;
};
// The sections in the file's layout: each heading on a line of its own, then its body lines.
std::string solverInputText(const std::vector<SolverInputSection>& sections);

}  // namespace formats
