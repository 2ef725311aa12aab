#include "formats/element_lines.h"

#include <thread>

#include "formats/derived_stress.h"
#include "formats/number_scanner.h"

namespace results {
namespace {

// Below this many lines a second thread costs more than it saves.
constexpr std::size_t kLinesForTwoThreads = 4096;

void readRange(const std::vector<std::string_view>& lines, bool stress, int item,
               std::vector<ElementLine>& out, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) out[i] = readElementLine(lines[i], stress, item);
}

}  // namespace

ElementLine readElementLine(std::string_view line, bool stress, int item) {
    ElementLine out;
    if (isBlankLine(line)) {
        out.kind = ElementLine::kBlank;
        return out;
    }
    if (isRepeatLine(line)) {
        out.kind = ElementLine::kRepeat;
        return out;
    }
    NumberScanner scan(line);
    scan.skipInteger();  // the element number
    out.node = scan.integer();
    if (stress) {
        double c[6];
        scan.reals(c, 6);
        out.value = stressValue({c[0], c[1], c[2], c[3], c[4], c[5]}, item);  // 0 for an unknown item
    } else {
        out.value = item == 0 ? scan.real() : 0.0;
    }
    return out;
}

void readElementLines(const std::vector<std::string_view>& lines, bool stress, int item,
                      std::vector<ElementLine>& out) {
    out.resize(lines.size());
    if (lines.size() < kLinesForTwoThreads || std::thread::hardware_concurrency() < 2) {
        readRange(lines, stress, item, out, 0, lines.size());
        return;
    }
    const std::size_t half = lines.size() / 2;
    std::jthread first([&] { readRange(lines, stress, item, out, 0, half); });
    readRange(lines, stress, item, out, half, lines.size());
}

}  // namespace results
