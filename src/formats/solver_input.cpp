#include "formats/solver_input.h"

#include <array>
#include <fstream>

namespace formats {

namespace {

// The T sections hold a multiphysics loadcase's thermal lines after its mechanical ones.
constexpr std::array<std::string_view, 19> kHeadings{
    "HEADER",     "MODEL",       "MFILE",      "SOLVE",  "TSTEP",      "GSTEP", "BUCKLE",
    "DYNAMIC",    "PRINT",       "TABLES",     "MSET",   "MATERIALS",  "ESIZE", "LOADS",
    "RESTRAINTS", "CONSTRAINTS", "TMATERIALS", "TLOADS", "TRESTRAINTS"};

bool isValueLine(const std::string& text) {
    const std::string t = trimmed(text);
    return !t.empty() && t[0] != ';';
}

}  // namespace

bool isSolverInputHeading(std::string_view word) {
    for (const std::string_view heading : kHeadings)
        if (heading == word) return true;
    return false;
}

const std::vector<InputLine>& SolverInputSections::lines(std::string_view heading) const {
    static const std::vector<InputLine> kNone;
    const auto it = sections_.find(heading);
    return it == sections_.end() ? kNone : it->second;
}

std::optional<InputLine> SolverInputSections::firstValueLine(std::string_view heading) const {
    for (const InputLine& line : lines(heading))
        if (isValueLine(line.text)) return InputLine{line.number, trimmed(line.text)};
    return std::nullopt;
}

std::vector<InputLine> SolverInputSections::valueLines(std::string_view heading) const {
    std::vector<InputLine> out;
    for (const InputLine& line : lines(heading))
        if (isValueLine(line.text)) out.push_back({line.number, trimmed(line.text)});
    return out;
}

std::vector<InputLine>& SolverInputSections::addSection(std::string_view heading) {
    return sections_.try_emplace(std::string(heading)).first->second;
}

SolverInputSections readSolverInputSections(std::istream& in) {
    SolverInputSections sections;
    std::vector<InputLine>* current = nullptr;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        // A heading starts at the first column: the body lines the add-on indents can never be one.
        if (!text.empty() && text[0] != ' ' && text[0] != '\t' && isSolverInputHeading(trimmed(text))) {
            current = &sections.addSection(trimmed(text));
            continue;
        }
        if (current) current->push_back({number, text});
    }
    return sections;
}

std::optional<SolverInputSections> readSolverInputFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return readSolverInputSections(in);
}

std::optional<std::string> HeaderLine::value(std::string_view key) const {
    for (const auto& [k, v] : values)
        if (k == key) return v;
    return std::nullopt;
}

std::optional<HeaderLine> splitHeaderLine(std::string_view text) {
    const std::vector<std::string> fields = words(text);
    if (fields.size() < 2) return std::nullopt;
    HeaderLine header;
    header.unitText = fields[1];
    for (std::size_t i = 2; i < fields.size(); ++i) {
        const auto eq = fields[i].find('=');
        if (eq != std::string::npos)
            header.values.emplace_back(fields[i].substr(0, eq), fields[i].substr(eq + 1));
    }
    return header;
}

std::string solverInputText(const std::vector<SolverInputSection>& sections) {
    std::string text;
    for (const SolverInputSection& section : sections) {
        text += section.heading + '\n';
        for (const std::string& line : section.lines) text += line + '\n';
    }
    return text;
}

}  // namespace formats
