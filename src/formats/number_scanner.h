#pragma once
// Reads the numbers of one result-file line by the file's rules: numbers are separated by white
// space; a real begins at the first digit, '.' or '-' ('+' does not begin one, so it is passed
// over); an integer begins at the first digit; a ';' where a number is expected reads as 0 and
// reading goes on after the next white space. A number that is missing, out of range or not finite
// reads as 0, so a damaged line never yields a value the views cannot draw.
#include <cstdint>
#include <string_view>

namespace results {

class NumberScanner {
  public:
    explicit NumberScanner(std::string_view line) : p_(line.data()), end_(line.data() + line.size()) {}

    double real();
    std::int32_t integer();
    // Passes over the integer integer() would read, without its value.
    void skipInteger();
    // Reads `count` reals into `out`.
    void reals(double* out, int count);

  private:
    void skipToWhiteSpace();

    const char* p_;
    const char* end_;
};

// True when the line's first non-blank character is ';': such a line carries no numbers and the
// numbers of the line before it stand for it.
bool isRepeatLine(std::string_view line);

// True when the line is empty or holds only blanks (the end of a block).
bool isBlankLine(std::string_view line);

}  // namespace results
