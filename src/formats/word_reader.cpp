#include "formats/word_reader.h"

#include <climits>
#include <cmath>

namespace formats {

void WordReader::expect(const std::string& word) {
    std::string got;
    if (!(in_ >> got) || got != word) throw WordRefusal("expected " + word + ", found '" + got + "'");
}

std::string WordReader::word() {
    std::string w;
    if (!(in_ >> w)) throw WordRefusal("the file ends early");
    return w;
}

int WordReader::number() {
    long long value = 0;
    if (!(in_ >> value) || value < INT_MIN || value > INT_MAX)
        throw WordRefusal("a number is missing or unreadable");
    return static_cast<int>(value);
}

int WordReader::count() {
    const int n = number();
    if (n < 0) throw WordRefusal("the count " + std::to_string(n) + " is negative");
    return n;
}

double WordReader::real(const char* what) {
    double value = 0;
    if (!(in_ >> value) || !std::isfinite(value))
        throw WordRefusal(std::string(what) + " is missing or unreadable");
    return value;
}

int WordReader::node(int nodeCount, bool noneAllowed) {
    const int n = number();
    if ((n < 1 && !(noneAllowed && n == 0)) || n > nodeCount)
        throw WordRefusal("node " + std::to_string(n) + " is not in the mesh");
    return n;
}

std::vector<int> WordReader::nodes(int nodeCount) {
    std::vector<int> list;
    for (int k = count(); k > 0; --k) list.push_back(node(nodeCount));
    return list;
}

}  // namespace formats
