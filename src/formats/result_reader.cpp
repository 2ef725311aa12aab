#include "formats/result_reader.h"

#include <algorithm>
#include <cmath>

#include "formats/block_search.h"
#include "formats/derived_stress.h"
#include "formats/element_lines.h"
#include "formats/line_reader.h"
#include "formats/mesh.h"
#include "formats/number_scanner.h"
#include "formats/result_kinds.h"

namespace results {
namespace {

constexpr double kRangeStart = 1e15;

struct Range {
    double largest = -kRangeStart;
    double smallest = kRangeStart;
    void widen(double v) {
        largest = std::max(largest, v);
        smallest = std::min(smallest, v);
    }
};

const char* nodeKeyword(int kind) {
    switch (kind) {
        case kKindTemperature:
            return "TEMP";
        case kKindDisplacement:
            return "DISP";
        case kKindModeShape:
            return "EIGE";
        case kKindVelocity:
            return "VELO";
        case kKindPressure:
            return "PRES";
        case kKindVorticity:
            return "VORT";
        case kKindHeatFlux:
            return "FLUX";
        case kKindDensity:
            return "DENS";
        case kKindMach:
            return "MACH";
        case kKindErrorEstimate:
            return "ERRE";
        default:
            return nullptr;
    }
}

// Values on a line of a node block: temperatures, pressures, densities, Mach numbers and error
// estimates are scalars, the others vectors.
int nodeComponents(int kind) {
    return isScalarNodeKind(kind) ? 1 : 3;
}

bool isStepByStep(int solutionType) {
    return solutionType == kSolutionPlasticity || solutionType == kSolutionForcedVibrations ||
           solutionType == kSolutionTransientThermalStress;
}

// Reads the "NATU" line of mode values and keeps the value of mode `mode`.
bool readModeValue(LineReader& reader, int mode, double& modeValue) {
    modeValue = 0.0;
    std::string_view line;
    if (!findBlock(reader, "NATU") || !reader.next(line, kNodeLineLimit)) return false;
    NumberScanner scan(line);
    for (int i = 1; i <= mode; ++i) modeValue = scan.real();
    return true;
}

// Walks to the header of block `step`; a header numbered above it is the too-high report.
ReadStatus findNodeBlock(LineReader& reader, const char* keyword, int step) {
    for (int i = 0; i < step; ++i) {
        const auto number = findBlock(reader, keyword);
        if (!number) return ReadStatus::Failed;
        if (*number == step) return ReadStatus::Read;
        if (*number > step) return ReadStatus::TooHigh;
    }
    return ReadStatus::Failed;
}

ReadStatus readNodeBlock(LineReader& reader, const ResultMesh& mesh, const ResultRequest& rq,
                         NodeResults& out) {
    const char* keyword = nodeKeyword(rq.kind);
    if (rq.kind == kKindModeShape && !readModeValue(reader, rq.step, out.modeValue))
        return ReadStatus::Failed;
    if (const ReadStatus found = findNodeBlock(reader, keyword, rq.step); found != ReadStatus::Read)
        return found;

    const int components = nodeComponents(rq.kind);
    auto& target = rq.item == kItemVector ? out.vectors : out.values;
    std::fill(target.begin(), target.end(), 0.0);
    Range range;
    double numbers[3] = {0, 0, 0};
    std::string_view line;
    for (std::int32_t n = 0; n < mesh.nodeCount && reader.next(line, kNodeLineLimit); ++n) {
        if (isBlankLine(line)) break;  // the block ended early: the nodes left keep 0
        if (!isRepeatLine(line)) {
            NumberScanner scan(line);
            scan.integer();
            scan.reals(numbers, components);
        }
        const std::size_t i = static_cast<std::size_t>(n);
        if (rq.item == kItemVector) {
            std::copy(numbers, numbers + 3, out.vectors.begin() + static_cast<std::ptrdiff_t>(3 * i));
            range.widen(0.0);
        } else if (rq.item >= 0 && rq.item < components) {
            out.values[i] = numbers[rq.item];
            range.widen(out.values[i]);
        } else if (rq.item == kItemMagnitude && components == 3) {
            const double sum = numbers[0] * numbers[0] + numbers[1] * numbers[1] + numbers[2] * numbers[2];
            out.values[i] = sum > 0.0 ? std::sqrt(sum) : 0.0;
            range.widen(out.values[i]);
        }
    }
    out.largest = range.largest;
    out.smallest = range.smallest;
    return ReadStatus::Read;
}

bool findElementBlock(LineReader& reader, const char* keyword, int step, int solutionType) {
    bool found = false;
    std::string_view line;
    for (int i = 0; i < step; ++i) {
        const auto number = findBlock(reader, keyword);
        if (!number) return false;
        reader.next(line, kElementLineLimit);  // the free line after the header
        found = true;
        if (isStepByStep(solutionType) && *number >= step) break;
    }
    return found;
}

// Every mid-side node no element line named takes the mean of its two corners.
void fillMidSideNodes(const ResultMesh& mesh, NodeResults& out) {
    // Local positions (1-based) of each mid-side node and the two corners it lies between.
    static constexpr int kMidSide[6][3] = {{2, 1, 3},  {4, 3, 5},  {6, 5, 1},
                                           {7, 1, 10}, {8, 3, 10}, {9, 5, 10}};
    const auto n = static_cast<std::size_t>(mesh.nodeCount);
    auto valid = [n](std::int32_t node) { return node >= 1 && static_cast<std::size_t>(node) <= n; };
    for (std::int32_t e = 0; e < mesh.elementCount; ++e) {
        const std::int32_t* nodes = mesh.connectivity.data() + static_cast<std::size_t>(e) * 10;
        for (const auto& m : kMidSide) {
            const std::int32_t mid = nodes[m[0] - 1], a = nodes[m[1] - 1], b = nodes[m[2] - 1];
            if (!valid(mid) || !valid(a) || !valid(b) || out.hits[mid - 1] > 0) continue;
            out.values[mid - 1] = (out.values[a - 1] + out.values[b - 1]) / 2.0;
        }
    }
}

ReadStatus readElementBlock(LineReader& reader, const ResultMesh& mesh, const ResultRequest& rq,
                            NodeResults& out) {
    const bool stress = rq.kind == kKindStress;
    if (!findElementBlock(reader, stress ? "STRE" : "STRA", rq.step, rq.solutionType))
        return ReadStatus::Failed;

    std::fill(out.values.begin(), out.values.end(), 0.0);
    std::fill(out.hits.begin(), out.hits.end(), 0);
    const auto nodeCount = static_cast<std::size_t>(mesh.nodeCount);
    std::int64_t lines = std::int64_t{4} * mesh.elementCount;  // lines left to read
    ElementLine last;                                          // what a repeat line stands for
    std::vector<std::string_view> batch;
    std::vector<ElementLine> read;
    while (lines > 0 && reader.nextBatch(batch, kElementLineLimit, static_cast<std::size_t>(lines))) {
        readElementLines(batch, stress, rq.item, read);
        const auto blank = std::find_if(read.begin(), read.end(),
                                        [](const ElementLine& r) { return r.kind == ElementLine::kBlank; });
        for (auto r = read.begin(); r != blank; ++r) {
            if (r->kind == ElementLine::kNumbers) last = *r;
            if (last.node < 1 || static_cast<std::size_t>(last.node) > nodeCount)
                continue;  // not a node of this mesh
            out.hits[last.node - 1] += 1;
            out.values[last.node - 1] += last.value;
        }
        if (blank != read.end()) break;
        lines -= static_cast<std::int64_t>(read.size());
    }

    Range range;
    for (std::size_t i = 0; i < nodeCount; ++i) {
        if (out.hits[i] <= 0) continue;
        out.values[i] /= out.hits[i];
        range.widen(out.values[i]);
    }
    out.largest = range.largest;
    out.smallest = range.smallest;
    if (mesh.nodesPerElement == 10 &&
        mesh.connectivity.size() >= static_cast<std::size_t>(mesh.elementCount) * 10)
        fillMidSideNodes(mesh, out);
    return ReadStatus::Read;
}

}  // namespace

ResultMesh ResultMesh::of(const mesh_solve::Mesh& mesh) {
    return {mesh.nodeCount(), mesh.elementCount(), mesh.nodesPerElement(), mesh.connectivity()};
}

void NodeResults::reset(std::size_t nodeCount) {
    values.assign(nodeCount, 0.0);
    hits.assign(nodeCount, 0);
    vectors.assign(3 * nodeCount, 0.0);
    largest = smallest = modeValue = 0.0;
}

void NodeResults::zeroValues() {
    std::fill(values.begin(), values.end(), 0.0);
    largest = smallest = 0.0;
}

ReadStatus readResult(const std::string& path, const ResultMesh& mesh, const ResultRequest& request,
                      NodeResults& out) {
    const auto n = static_cast<std::size_t>(std::max<std::int32_t>(mesh.nodeCount, 0));
    if (out.values.size() != n || out.hits.size() != n || out.vectors.size() != 3 * n) out.reset(n);
    ResultRequest rq = request;
    rq.step = std::max(rq.step, 1);
    const bool nodeKind = nodeKeyword(rq.kind) != nullptr;
    if (!nodeKind && rq.kind != kKindStress && rq.kind != kKindPlasticStrain) return ReadStatus::Failed;

    LineReader reader(path);
    if (!reader.isOpen()) return ReadStatus::Failed;
    return nodeKind ? readNodeBlock(reader, mesh, rq, out) : readElementBlock(reader, mesh, rq, out);
}

namespace {

// The header keyword of a kind's blocks; nullptr for kinds the file has no blocks of.
const char* blockKeyword(int kind) {
    if (kind == kKindStress) return "STRE";
    if (kind == kKindPlasticStrain) return "STRA";
    return nodeKeyword(kind);
}

}  // namespace

BlockCount countBlocks(const std::string& path, int kind) {
    const char* keyword = blockKeyword(kind);
    BlockCount count;
    LineReader reader(path);
    count.fileRead = reader.isOpen();
    if (keyword == nullptr || !count.fileRead) return count;
    while (const auto number = findBlock(reader, keyword)) {
        ++count.blocks;
        count.highest = std::max(count.highest, *number);
        count.numbers.push_back(*number);
    }
    return count;
}

bool holdsBlock(const std::string& path, int kind) {
    const char* keyword = blockKeyword(kind);
    LineReader reader(path);
    return keyword != nullptr && reader.isOpen() && findBlock(reader, keyword).has_value();
}

}  // namespace results
