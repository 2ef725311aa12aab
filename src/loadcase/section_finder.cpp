#include "loadcase/section_finder.h"

#include <fstream>

#include "loadcase/text_lines.h"

namespace loadcase {

int findSection(std::istream& in, std::string_view keyword, std::size_t length, SearchFrom from) {
    const std::string_view prefix = keyword.substr(0, length);
    if (prefix.empty()) return 0;  // nothing to look for
    if (from == SearchFrom::Start) {
        in.clear();
        in.seekg(0);
    }
    std::string line;
    while (readLine(in, line)) {
        std::string_view text = skipBlanks(line);
        if (!text.starts_with(prefix)) continue;
        // Skip the rest of the keyword's word (files may spell it out in full), then the blanks.
        const auto wordEnd = text.find_first_of(" \t");
        text = wordEnd == std::string_view::npos ? std::string_view{} : skipBlanks(text.substr(wordEnd));
        const int number = leadingInteger(text);
        return number == 0 ? 1 : number;
    }
    return 0;
}

int findSectionInFile(const std::string& path, std::string_view keyword, std::size_t length) {
    std::ifstream in(path);
    if (!in) return 0;
    return findSection(in, keyword, length);
}

}  // namespace loadcase
