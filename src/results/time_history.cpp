#include "results/time_history.h"

#include <cmath>
#include <cstdlib>

#include "formats/block_search.h"
#include "formats/derived_stress.h"
#include "formats/line_reader.h"
#include "formats/mesh.h"
#include "formats/number_scanner.h"
#include "mesh_solve/mesh_store.h"
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
        case kKindPressure:
            return BlockLayout{"PRES", 1, 1};
        case kKindVorticity:
            return BlockLayout{"VORT", 1, 3};
        case kKindHeatFlux:
            return BlockLayout{"FLUX", 1, 3};
        case kKindDensity:
            return BlockLayout{"DENS", 1, 1};
        case kKindMach:
            return BlockLayout{"MACH", 1, 1};
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

namespace {

// Sums and counts of the element lines naming one node in a stress block.
struct NodeMean {
    double sum = 0;
    int count = 0;
    double value() const { return count > 0 ? sum / count : 0.0; }
};

}  // namespace

std::optional<std::vector<PlotPoint>> fetchNodeHistory(const std::string& resultPath, int kind, int item,
                                                       int node, std::optional<CornerPair> corners) {
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
        NodeMean own, first, second;
        while (reader.next(line, limit) && !isBlankLine(line)) {
            NumberScanner scan(line);
            int lineNode = 0;
            for (int i = 0; i < layout->integers; ++i) lineNode = scan.integer();
            NodeMean* mean = lineNode == node                       ? &own
                             : corners && lineNode == (*corners)[0] ? &first
                             : corners && lineNode == (*corners)[1] ? &second
                                                                    : nullptr;
            if (mean == nullptr) continue;
            double v[6] = {0, 0, 0, 0, 0, 0};
            scan.reals(v, layout->values);
            if (stress) {
                mean->sum += stressValue({v[0], v[1], v[2], v[3], v[4], v[5]}, item);
                ++mean->count;
                continue;
            }
            *mean = {nodeValue(v, layout->values, item), 1};
            if (mean == &own) break;  // one line per node in node blocks
        }
        const double y =
            own.count > 0 || !stress || !corners ? own.value() : (first.value() + second.value()) / 2;
        points.push_back({static_cast<float>(*number), static_cast<float>(y)});
    }
    return points;
}

std::optional<CornerPair> midSideCorners(int node) {
    static constexpr int kMidSide[6][3] = {{2, 1, 3},  {4, 3, 5},  {6, 5, 1},
                                           {7, 1, 10}, {8, 3, 10}, {9, 5, 10}};
    const mesh_solve::Mesh& mesh = mesh_solve::libraryMesh();
    if (mesh.nodesPerElement() != mesh_solve::kQuadraticNodesPerElement) return std::nullopt;
    const auto connectivity = mesh.connectivity();
    for (std::size_t e = 0; e + mesh_solve::kQuadraticNodesPerElement <= connectivity.size();
         e += mesh_solve::kQuadraticNodesPerElement)
        for (const auto& m : kMidSide)
            if (connectivity[e + m[0] - 1] == node)
                return CornerPair{connectivity[e + m[1] - 1], connectivity[e + m[2] - 1]};
    return std::nullopt;
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
