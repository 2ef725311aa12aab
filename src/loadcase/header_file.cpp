#include "loadcase/header_file.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "loadcase/file_replace.h"
#include "loadcase/text_lines.h"

namespace loadcase {
namespace {

// Header keywords are recognised by their first four characters.
bool startsWithKeyword(std::string_view line, std::string_view keyword) {
    return line.substr(0, 4) == keyword.substr(0, 4);
}

std::vector<std::string_view> splitAtBlanks(std::string_view text) {
    std::vector<std::string_view> fields;
    for (text = skipBlanks(text); !text.empty(); text = skipBlanks(text)) {
        const auto end = text.find_first_of(" \t");
        fields.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end);
    }
    return fields;
}

// The units line: the sixth field's text after "=" is the analysis code. A line without it changes
// nothing rather than being read as code 0.
void applyUnitsLine(std::string_view line, AnalysisSetting& analysis) {
    const auto fields = splitAtBlanks(line);
    if (fields.size() < 6) return;
    const auto equals = fields[5].find('=');
    if (equals == std::string_view::npos) return;
    analysis = settingForHeaderCode(leadingInteger(fields[5].substr(equals + 1)), analysis);
}

}  // namespace

std::string headerFileText(std::string_view unitText, int analysisCode, std::string_view meshPath) {
    std::ostringstream text;
    text << "HEADER\n"
         << "0.001 " << unitText << " 0 nod=10 elem=0 ana=" << analysisCode << "\n"
         << "MFILE\n"
         << meshPath << "\n";
    return text.str();
}

WriteResult writeHeaderFile(const std::string& path, std::string_view unitText, int analysisCode,
                            std::string_view meshPath) {
    return replaceFile(path, headerFileText(unitText, analysisCode, meshPath));
}

HeaderContents readHeader(std::istream& in, std::string defaultMeshPath, AnalysisSetting current) {
    HeaderContents contents{true, current, std::move(defaultMeshPath)};
    std::string line;
    std::string next;
    while (readLine(in, line)) {
        const std::string_view keyword = skipBlanks(line);
        if (keyword.empty() || keyword.front() == ';') continue;
        if (startsWithKeyword(keyword, "HEADER")) {
            if (readLine(in, next)) applyUnitsLine(next, contents.analysis);
        } else if (startsWithKeyword(keyword, "BUCKLE")) {
            contents.analysis = {kTypeMechanical, kSolveIndexBuckling};
        } else if (startsWithKeyword(keyword, "MFILE")) {
            if (readLine(in, next) && !next.empty()) contents.meshPath = next;
        }
    }
    return contents;
}

HeaderContents readHeaderFile(const std::string& jobBasePath, AnalysisSetting current) {
    std::ifstream in(jobBasePath + ".txt");
    if (!in) return HeaderContents{false, current, jobBasePath + ".meb"};
    return readHeader(in, jobBasePath + ".meb", current);
}

}  // namespace loadcase
