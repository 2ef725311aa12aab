#include "vtk_results.h"

#include <charconv>
#include <map>
#include <stdexcept>
#include <string_view>

#include "formats/derived_stress.h"
#include "io/vtu_writer.h"
#include "physics/time_stepping.h"

namespace tarvsolv {

namespace {

// Per corner of a STRES line: the six components, von Mises and the three principal stresses.
constexpr int kStressValues = 10;

// Node values summed over the corner lines that name each node.
struct CornerSums {
    int width = 1;
    std::vector<double> sums;
    std::vector<int> hits;

    void add(std::size_t node, const double* values) {
        for (int k = 0; k < width; ++k) sums[node * width + k] += values[k];
        ++hits[node];
    }
    // The mean per node; mid-side nodes no line names take the mean of their edge's corners.
    std::vector<double> means(const FeMesh& mesh) const {
        std::vector<double> out(sums.size(), 0.0);
        for (std::size_t n = 0; n < hits.size(); ++n)
            for (int k = 0; k < width && hits[n] > 0; ++k) out[n * width + k] = sums[n * width + k] / hits[n];
        if (mesh.nodesPerElement != 10) return out;
        static constexpr int kEdges[6][2] = {{0, 1}, {1, 2}, {0, 2}, {0, 3}, {1, 3}, {2, 3}};
        for (int e = 0; e < mesh.elementCount(); ++e) {
            const auto nodes = mesh.elementNodes(e);
            for (int m = 0; m < 6; ++m) {
                const auto mid = static_cast<std::size_t>(nodes[4 + m]);
                if (hits[mid] > 0) continue;
                const auto a = static_cast<std::size_t>(nodes[kEdges[m][0]]),
                           b = static_cast<std::size_t>(nodes[kEdges[m][1]]);
                for (int k = 0; k < width; ++k)
                    out[mid * width + k] = 0.5 * (out[a * width + k] + out[b * width + k]);
            }
        }
        return out;
    }
};

struct StepFields {
    std::map<std::string, std::vector<double>> nodeBlocks;  // keyword: DISP, VELO, EIGE, TEMP
    CornerSums stress, strain;
};

class BlockParser {
  public:
    explicit BlockParser(std::string_view text) : text_(text) {}

    bool next(std::string_view& line) {
        if (at_ >= text_.size()) return false;
        const std::size_t end = std::min(text_.find('\n', at_), text_.size());
        line = text_.substr(at_, end - at_);
        at_ = end + 1;
        return true;
    }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// The numbers of a line, at most `count` of them.
int numbers(std::string_view line, double* out, int count) {
    int n = 0;
    const char* p = line.data();
    const char* end = p + line.size();
    while (n < count) {
        while (p < end && *p == ' ') ++p;
        if (p == end) break;
        const auto [next, error] = std::from_chars(p, end, out[n]);
        if (error != std::errc()) break;
        p = next;
        ++n;
    }
    return n;
}

class ResultBlocks {
  public:
    ResultBlocks(const FeMesh& mesh, const std::string& blocks) : mesh_(mesh) {
        BlockParser parser(blocks);
        std::string_view line;
        while (parser.next(line)) {
            if (line.empty()) continue;
            const std::size_t blank = line.find(' ');
            const std::string keyword(line.substr(0, blank));
            if (keyword == "NATU") {
                if (parser.next(line)) readModeValues(line);
                continue;
            }
            int number = 0;
            if (blank == std::string_view::npos) continue;
            std::from_chars(line.data() + blank + 1, line.data() + line.size(), number);
            StepFields& step = steps[number];
            if (keyword == "STRES" || keyword == "STRAI")
                readCorners(parser, keyword == "STRES" ? step.stress : step.strain, keyword == "STRES");
            else
                readNodes(parser, keyword == "TEMP" ? 1 : 3, step.nodeBlocks[keyword]);
        }
    }

    std::map<int, StepFields> steps;
    std::vector<double> modeValues;

  private:
    void readModeValues(std::string_view line) {
        double values[256];
        const int n = numbers(line, values, 256);
        modeValues.assign(values, values + n);
    }

    void readNodes(BlockParser& parser, int width, std::vector<double>& out) {
        out.assign(static_cast<std::size_t>(mesh_.nodeCount()) * width, 0.0);
        std::string_view line;
        double v[4];
        while (parser.next(line) && !line.empty()) {
            if (numbers(line, v, 1 + width) != 1 + width) continue;
            const auto node = static_cast<std::size_t>(v[0]) - 1;
            if (node < static_cast<std::size_t>(mesh_.nodeCount()))
                for (int k = 0; k < width; ++k) out[node * width + k] = v[1 + k];
        }
    }

    void readCorners(BlockParser& parser, CornerSums& sums, bool stress) {
        sums.width = stress ? kStressValues : 1;
        sums.sums.assign(static_cast<std::size_t>(mesh_.nodeCount()) * sums.width, 0.0);
        sums.hits.assign(static_cast<std::size_t>(mesh_.nodeCount()), 0);
        std::string_view line;
        parser.next(line);  // the caption
        double v[8], values[kStressValues];
        const int width = stress ? 8 : 3;
        while (parser.next(line) && !line.empty()) {
            if (numbers(line, v, width) != width) continue;
            const auto node = static_cast<std::size_t>(v[1]) - 1;
            if (node >= static_cast<std::size_t>(mesh_.nodeCount())) continue;
            if (!stress) {
                sums.add(node, v + 2);
                continue;
            }
            const results::StressComponents s{v[2], v[3], v[4], v[5], v[6], v[7]};
            const results::PrincipalStresses principal = results::principalStresses(s);
            std::copy(v + 2, v + 8, values);
            values[6] = results::vonMises(s);
            values[7] = principal.p1, values[8] = principal.p2, values[9] = principal.p3;
            sums.add(node, values);
        }
    }

    const FeMesh& mesh_;
};

// One component of every node out of an array of `width` per node.
std::vector<double> component(const std::vector<double>& values, int width, int k) {
    std::vector<double> out(values.size() / width);
    for (std::size_t n = 0; n < out.size(); ++n) out[n] = values[n * width + k];
    return out;
}

void writeGrid(const Job& job, const StepFields& step, const std::string& path) {
    VtuWriter grid(job.mesh);
    static const std::map<std::string, std::pair<const char*, int>> kNames{{"DISP", {"Displacement", 3}},
                                                                           {"EIGE", {"Mode shape", 3}},
                                                                           {"VELO", {"Velocity", 3}},
                                                                           {"TEMP", {"Temperature", 1}}};
    for (const auto& [keyword, values] : step.nodeBlocks)
        if (const auto name = kNames.find(keyword); name != kNames.end())
            grid.addPointData(name->second.first, name->second.second, values);
    if (!step.stress.hits.empty()) {
        const std::vector<double> means = step.stress.means(job.mesh);
        std::vector<double> tensor;
        tensor.reserve(means.size() / kStressValues * 6);
        for (std::size_t n = 0; n < means.size() / kStressValues; ++n)
            tensor.insert(tensor.end(), means.begin() + static_cast<std::ptrdiff_t>(n * kStressValues),
                          means.begin() + static_cast<std::ptrdiff_t>(n * kStressValues + 6));
        grid.addPointData("Stress", 6, std::move(tensor));
        grid.addPointData("von Mises stress", 1, component(means, kStressValues, 6));
        for (int k = 0; k < 3; ++k)
            grid.addPointData("Principal stress " + std::to_string(k + 1), 1,
                              component(means, kStressValues, 7 + k));
    }
    if (!step.strain.hits.empty()) grid.addPointData("Plastic strain", 1, step.strain.means(job.mesh));
    std::vector<std::int32_t> bodies(static_cast<std::size_t>(job.mesh.elementCount()), 1);
    if (job.geometry)
        for (int e = 0; e < job.mesh.elementCount(); ++e) bodies[e] = job.geometry->bodyOfElement(e);
    grid.addCellData("Body", std::move(bodies));
    grid.write(path);
}

// The time value of step or mode `number`.
double timeValue(const Job& job, const ResultBlocks& results, int number) {
    switch (job.kind) {
        case SolveKind::Modes:
        case SolveKind::Buckling:
            return number >= 1 && static_cast<std::size_t>(number) <= results.modeValues.size()
                       ? results.modeValues[number - 1]
                       : number;
        case SolveKind::TransientHeat:
        case SolveKind::ForcedVibration:
            return number * stepPlan(job.input, "").size;
        default: {
            const auto factor = job.loadFactors.find(number);
            return factor == job.loadFactors.end() ? number : factor->second;
        }
    }
}

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<std::string> writeVtkResults(const Job& job, const std::string& blocks) {
    const ResultBlocks results(job.mesh, blocks);
    const std::string stem = pathStem(job.resultPath);
    const bool single =
        results.steps.size() == 1 && (job.kind == SolveKind::Static || job.kind == SolveKind::SteadyHeat);
    if (single) {
        writeGrid(job, results.steps.begin()->second, stem + ".vtu");
        return {stem + ".vtu"};
    }
    std::vector<std::string> written;
    std::vector<std::pair<double, std::string>> grids;
    for (const auto& [number, step] : results.steps) {
        const std::string path = stem + "_" + std::to_string(number) + ".vtu";
        writeGrid(job, step, path);
        written.push_back(path);
        grids.emplace_back(timeValue(job, results, number), fileName(path));
    }
    writePvd(stem + ".pvd", grids);
    written.push_back(stem + ".pvd");
    return written;
}

}  // namespace tarvsolv
