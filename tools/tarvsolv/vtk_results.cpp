#include "vtk_results.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <stdexcept>

#include "fem/corner_sums.h"
#include "fem/node_pieces.h"
#include "formats/derived_stress.h"
#include "io/vtu_writer.h"

namespace tarvsolv {

namespace {

// Digits after the point of the result file's node values and of its corner values.
constexpr int kNodeDigits = 8, kCornerDigits = 6;
// Per corner: the six stress components, von Mises and the three principal stresses.
constexpr int kStressValues = 10;

// `v` as the result file writes it: `digits` digits after the point, tiny values as 0.
double asWritten(double v, int digits) {
    if (v > -1e-290 && v < 1e-290) return 0.0;
    char text[64];
    const char* end = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, digits).ptr;
    double out = 0;
    std::from_chars(text, end, out);
    return out;
}

// One component of every node out of an array of `width` per node.
std::vector<double> component(const std::vector<double>& values, int width, int k) {
    std::vector<double> out(values.size() / width);
    for (std::size_t n = 0; n < out.size(); ++n) out[n] = values[n * width + k];
    return out;
}

// The numbers of a line of blank-separated numbers.
std::vector<double> numbersOf(const std::string& line) {
    std::vector<double> out;
    const char* p = line.data();
    const char* end = p + line.size();
    while (p < end) {
        while (p < end && (*p == ' ' || *p == '\n')) ++p;
        double v = 0;
        const auto [next, error] = std::from_chars(p, end, v);
        if (error != std::errc()) break;
        out.push_back(v);
        p = next;
    }
    return out;
}

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void VtkResultSink::modeValues(std::span<const double> values) {
    // The mode line shortens its numbers when there are many: the grids take them as it writes them.
    const std::string block = results::modeValueBlock(values);
    modeValues_ = numbersOf(block.substr(block.find('\n') + 1));
}

void VtkResultSink::step(const StepResult& step) {
    // A second step of one number joins the first one's grid: the modes of a heated state follow
    // its temperatures, handed on as step 1.
    Grid& grid = grids_[step.number];
    grid.time = step.time;
    if (job_.modal())
        grid.time = step.number >= 1 && static_cast<std::size_t>(step.number) <= modeValues_.size()
                        ? modeValues_[step.number - 1]
                        : step.number;
    const std::size_t nodes = static_cast<std::size_t>(mesh_.nodeCount());
    for (const NodeField& field : step.nodeFields) {
        const NodeQuantityInfo info = nodeQuantityInfo(field.quantity);
        std::vector<double> values(nodes * info.width, 0.0);
        for (std::size_t i = 0; i < std::min(values.size(), field.values.size()); ++i)
            values[i] = asWritten(field.values[i], kNodeDigits);
        grid.arrays.push_back({info.name, info.width, std::move(values)});
    }
    if (!step.corners.stresses.empty()) addStresses(step.corners, grid.arrays);
    if (!step.elementErrors.empty()) grid.elementErrors = step.elementErrors;
    if (!step.corners.plasticStrains.empty()) {
        CornerSums sums(mesh_, 1);
        const CornerFields& corners = step.corners;
        for (std::size_t k = 0; k < std::min(corners.nodes.size(), corners.plasticStrains.size()); ++k) {
            const auto node = static_cast<std::size_t>(corners.nodes[k]) - 1;
            const double strain = asWritten(corners.plasticStrains[k], kCornerDigits);
            if (node < nodes) sums.add(node, &strain);
        }
        grid.arrays.push_back({"Plastic strain", 1, sums.means(mesh_)});
    }
}

void VtkResultSink::addStresses(const CornerFields& corners, std::vector<PointArray>& arrays) const {
    CornerSums sums(mesh_, kStressValues);
    double values[kStressValues];
    for (std::size_t k = 0; k < std::min(corners.nodes.size(), corners.stresses.size()); ++k) {
        const auto node = static_cast<std::size_t>(corners.nodes[k]) - 1;
        if (node >= static_cast<std::size_t>(mesh_.nodeCount())) continue;
        for (int c = 0; c < 6; ++c) values[c] = asWritten(corners.stresses[k][c], kCornerDigits);
        const results::StressComponents s{values[0], values[1], values[2], values[3], values[4], values[5]};
        const results::PrincipalStresses principal = results::principalStresses(s);
        values[6] = results::vonMises(s);
        values[7] = principal.p1, values[8] = principal.p2, values[9] = principal.p3;
        sums.add(node, values);
    }
    const std::vector<double> means = sums.means(mesh_);
    std::vector<double> tensor;
    tensor.reserve(means.size() / kStressValues * 6);
    for (std::size_t n = 0; n < means.size() / kStressValues; ++n)
        tensor.insert(tensor.end(), means.begin() + static_cast<std::ptrdiff_t>(n * kStressValues),
                      means.begin() + static_cast<std::ptrdiff_t>(n * kStressValues + 6));
    arrays.push_back({"Stress", 6, std::move(tensor)});
    arrays.push_back({"von Mises stress", 1, component(means, kStressValues, 6)});
    for (int k = 0; k < 3; ++k)
        arrays.push_back(
            {"Principal stress " + std::to_string(k + 1), 1, component(means, kStressValues, 7 + k)});
}

std::vector<std::string> VtkResultSink::writeGrid(const Grid& grid, const std::string& base,
                                                  const std::vector<int>& pieces) const {
    VtuWriter writer(mesh_);
    for (const PointArray& array : grid.arrays)
        writer.addPointData(array.name, array.components, array.values);
    std::vector<std::int32_t> bodies(static_cast<std::size_t>(mesh_.elementCount()), 1);
    if (job_.geometry)
        for (int e = 0; e < mesh_.elementCount(); ++e) bodies[e] = job_.geometry->bodyOfElement(e);
    writer.addCellData("Body", std::move(bodies));
    if (grid.elementErrors.size() == static_cast<std::size_t>(job_.mesh.elementCount()))
        writer.addCellData("Error estimate", grid.elementErrors);
    // The grid's other form, from an earlier run on another number of processes, goes: a reader
    // must not take it for this run's.
    std::error_code ignored;
    std::filesystem::remove(base + (pieces.empty() ? ".pvtu" : ".vtu"), ignored);
    if (pieces.empty()) {
        writer.write(base + ".vtu");
        return {base + ".vtu"};
    }
    std::vector<std::vector<int>> elements(
        static_cast<std::size_t>(*std::max_element(pieces.begin(), pieces.end()) + 1));
    for (std::size_t e = 0; e < pieces.size(); ++e) elements[pieces[e]].push_back(static_cast<int>(e));
    std::vector<std::string> written, names;
    for (std::size_t k = 0; k < elements.size(); ++k) {
        written.push_back(base + "_p" + std::to_string(k) + ".vtu");
        writer.writePiece(written.back(), elements[k]);
        names.push_back(fileName(written.back()));
    }
    written.push_back(base + ".pvtu");
    writer.writeParallel(written.back(), names);
    return written;
}

std::vector<std::string> VtkResultSink::write() const {
    const std::string stem = pathStem(job_.resultPath);
    const bool single =
        grids_.size() == 1 && (job_.kind == SolveKind::Static || job_.kind == SolveKind::SteadyHeat ||
                               job_.kind == SolveKind::ThermalStress);
    std::vector<int> pieces = elementPieces(job_.mesh);
    if (pieces.size() != static_cast<std::size_t>(mesh_.elementCount())) pieces.clear();
    if (single) return writeGrid(grids_.begin()->second, stem, pieces);
    std::vector<std::string> written;
    std::vector<std::pair<double, std::string>> collection;
    for (const auto& [number, grid] : grids_) {
        const std::vector<std::string> files = writeGrid(grid, stem + "_" + std::to_string(number), pieces);
        written.insert(written.end(), files.begin(), files.end());
        collection.emplace_back(grid.time, fileName(files.back()));
    }
    writePvd(stem + ".pvd", collection);
    written.push_back(stem + ".pvd");
    return written;
}

}  // namespace tarvsolv
