#include "results/time_history.h"

#include <cmath>
#include <cstdlib>

#include "formats/block_search.h"
#include "formats/derived_stress.h"
#include "formats/line_reader.h"
#include "formats/number_scanner.h"
#include "results/quantity_list.h"

namespace results {
namespace {

struct BlockLayout {
    const char* keyword;
    int integers;
    int values;
};

std::optional<BlockLayout> layoutOf(int kind) {
    switch (kind) {
        case kKindTemperature:
            return BlockLayout{"TEMP", 1, 1};
        case kKindDisplacement:
            return BlockLayout{"DISP", 1, 3};
        case kKindVelocity:
            return BlockLayout{"VELO", 1, 3};
        case kKindStress:
            return BlockLayout{"STRES", 2, 6};
        default:
            return std::nullopt;
    }
}

double nodeValue(const double* v, int components, int item) {
    if (item >= 0 && item < components) return v[item];
    if (item == kItemMagnitude && components == 3) return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return 0.0;
}

}  // namespace

std::optional<std::vector<PlotPoint>> fetchNodeHistory(const std::string& resultPath, int kind, int item,
                                                       int node) {
    const auto layout = layoutOf(kind);
    if (!layout) return std::nullopt;
    LineReader reader(resultPath);
    if (!reader.isOpen()) return std::nullopt;
    const bool stress = kind == kKindStress;
    const std::size_t limit = stress ? kElementLineLimit : kNodeLineLimit;
    std::vector<PlotPoint> points;
    std::string_view line;
    while (const auto number = findBlock(reader, layout->keyword)) {
        if (stress) reader.next(line, limit);  // the free line after the header
        double sum = 0.0;
        int count = 0;
        while (reader.next(line, limit) && !isBlankLine(line)) {
            NumberScanner scan(line);
            int lineNode = 0;
            for (int i = 0; i < layout->integers; ++i) lineNode = scan.integer();
            if (lineNode != node) continue;
            double v[6] = {0, 0, 0, 0, 0, 0};
            scan.reals(v, layout->values);
            if (stress) {
                sum += stressValue({v[0], v[1], v[2], v[3], v[4], v[5]}, item);
                ++count;
                continue;
            }
            sum = nodeValue(v, layout->values, item);
            count = 1;
            break;  // one line per node in node blocks
        }
        points.push_back({static_cast<float>(*number), count > 0 ? static_cast<float>(sum / count) : 0.0f});
    }
    return points;
}

std::vector<int> parseNodeNumbers(const std::string& text) {
    std::vector<int> nodes;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = text.find_first_not_of(" ,", i);
        if (start == std::string::npos) break;
        const std::size_t end = text.find_first_of(" ,", start);
        nodes.push_back(std::atoi(text.substr(start, end - start).c_str()));
        i = end == std::string::npos ? text.size() : end;
    }
    return nodes;
}

}  // namespace results
