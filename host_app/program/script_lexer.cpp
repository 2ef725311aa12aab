#include "program/script_lexer.h"

#include <cctype>
#include <cstdlib>

namespace hostapp {

std::optional<std::string> processEnvironment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

namespace {

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Expands the variable starting at line[i] (a "$"); answers the index after it.
std::size_t expand(const std::string& line, std::size_t i, const Environment& environment,
                   std::string& word) {
    std::size_t start = i + 1;
    std::string name;
    std::size_t next;
    if (start < line.size() && line[start] == '{') {
        const std::size_t close = line.find('}', start);
        if (close == std::string::npos) throw ScriptSyntaxError("\"${\" without \"}\"");
        name = line.substr(start + 1, close - start - 1);
        next = close + 1;
    } else {
        next = start;
        while (next < line.size() && isNameChar(line[next])) ++next;
        name = line.substr(start, next - start);
    }
    if (name.empty()) {
        word += '$';  // a lone dollar stays as it is
        return start;
    }
    word += environment(name).value_or("");
    return next;
}

}  // namespace

std::vector<std::string> splitScriptLine(const std::string& line, const Environment& environment) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
            ++i;
        } else if (c == '#' && !inWord) {
            break;
        } else if (c == '\'') {
            const std::size_t close = line.find('\'', i + 1);
            if (close == std::string::npos) throw ScriptSyntaxError("unterminated single quote");
            word += line.substr(i + 1, close - i - 1);
            inWord = true;
            i = close + 1;
        } else if (c == '"') {
            inWord = true;
            ++i;
            for (;;) {
                if (i >= line.size()) throw ScriptSyntaxError("unterminated double quote");
                if (line[i] == '"') break;
                if (line[i] == '\\' && i + 1 < line.size()) {
                    word += line[i + 1];
                    i += 2;
                } else if (line[i] == '$') {
                    i = expand(line, i, environment, word);
                } else {
                    word += line[i++];
                }
            }
            ++i;
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[i + 1];
            inWord = true;
            i += 2;
        } else if (c == '$') {
            i = expand(line, i, environment, word);
            inWord = true;
        } else {
            word += c;
            inWord = true;
            ++i;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

std::vector<ScriptLine> readScript(std::istream& in, const Environment& environment) {
    std::vector<ScriptLine> lines;
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        std::vector<std::string> words;
        try {
            words = splitScriptLine(text, environment);
        } catch (const ScriptSyntaxError& e) {
            throw ScriptSyntaxError(e.what(), number);
        }
        if (!words.empty()) lines.push_back({number, std::move(words)});
    }
    return lines;
}

}  // namespace hostapp
