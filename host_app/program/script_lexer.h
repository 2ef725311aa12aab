#pragma once
// Script lines split into words as a shell splits them: blanks separate words; single quotes
// keep everything literally; double quotes keep blanks and let "\" escape the next character;
// $NAME and ${NAME} outside single quotes are replaced by the environment's value; a "#" that
// starts a word starts a comment.
#include <functional>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace hostapp {

class ScriptSyntaxError : public std::runtime_error {
  public:
    explicit ScriptSyntaxError(const std::string& message, int line = 0)
        : std::runtime_error(message), line_(line) {}
    // The line of the script, counted from 1; 0 when the text was no script line.
    int line() const { return line_; }

  private:
    int line_;
};

using Environment = std::function<std::optional<std::string>(const std::string& name)>;

// The process environment.
std::optional<std::string> processEnvironment(const std::string& name);

// Throws ScriptSyntaxError for an unterminated quote or a "${" without its "}".
std::vector<std::string> splitScriptLine(const std::string& line,
                                         const Environment& environment = processEnvironment);

struct ScriptLine {
    int number = 0;  // counted from 1 in the file
    std::vector<std::string> words;
};

// Every line that holds a word, with its number. Throws ScriptSyntaxError naming the line.
std::vector<ScriptLine> readScript(std::istream& in, const Environment& environment = processEnvironment);

}  // namespace hostapp
