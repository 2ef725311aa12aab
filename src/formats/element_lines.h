#pragma once
// The lines of a stress or strain block, read into each line's node and value. A block holds four
// lines per element (millions for a large mesh); a batch of them is read by two threads, since
// every line is read on its own.
#include <cstdint>
#include <string_view>
#include <vector>

namespace results {

struct ElementLine {
    enum Kind : std::uint8_t { kNumbers, kRepeat, kBlank };
    Kind kind = kNumbers;  // kRepeat: ';' first, the line before stands for it; kBlank: the block ends
    std::int32_t node = 0;
    double value = 0.0;  // the item's value (a component or a derived stress) at that line
};

// One line: element number (passed over), node number and the stress components (`stress`) or the
// equivalent plastic strain; `item` picks the value as the stress quantities do (strain: item 0).
ElementLine readElementLine(std::string_view line, bool stress, int item);

// Every line of `lines` into `out` (resized to match).
void readElementLines(const std::vector<std::string_view>& lines, bool stress, int item,
                      std::vector<ElementLine>& out);

}  // namespace results
