#pragma once
// Reads the words and numbers of a whitespace-separated file in order (the mesher's companion file,
// the size field). Every fault throws WordRefusal naming what was wrong, so a reader says why a
// damaged file was refused instead of taking part of it.
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace formats {

struct WordRefusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class WordReader {
  public:
    explicit WordReader(std::istream& in) : in_(in) {}

    // The next word, which must be `word`.
    void expect(const std::string& word);
    // The next word; the file must not end before it.
    std::string word();
    // A whole number of the int range.
    int number();
    // A count from 0 up: a damaged count must not reserve memory or run a loop backwards.
    int count();
    // A finite number; `what` names it in the refusal ("a coordinate").
    double real(const char* what = "a number");
    // A node from 1 to `nodeCount`; 0 too where `noneAllowed`.
    int node(int nodeCount, bool noneAllowed = false);
    // A count, then that many nodes.
    std::vector<int> nodes(int nodeCount);

  private:
    std::istream& in_;
};

}  // namespace formats
