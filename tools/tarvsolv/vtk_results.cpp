#include "vtk_results.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <memory>
#include <stdexcept>

#include "base/agree_on_failure.h"
#include "base/quiet_wait.h"
#include "fem/corner_sums.h"
#include "fem/node_pieces.h"
#include "formats/derived_stress.h"
#include "io/file_swap.h"
#include "io/stale_vtk_files.h"
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

// The ten values of each corner: the stress as the result file writes it, its von Mises stress and
// its principal stresses.
std::vector<double> stressValues(const CornerFields& corners) {
    const std::size_t count = std::min(corners.nodes.size(), corners.stresses.size());
    std::vector<double> out(count * kStressValues);
    for (std::size_t k = 0; k < count; ++k) {
        double* values = out.data() + k * kStressValues;
        for (int c = 0; c < 6; ++c) values[c] = asWritten(corners.stresses[k][c], kCornerDigits);
        const results::StressComponents s{values[0], values[1], values[2], values[3], values[4], values[5]};
        const results::PrincipalStresses principal = results::principalStresses(s);
        values[6] = results::vonMises(s);
        values[7] = principal.p1, values[8] = principal.p2, values[9] = principal.p3;
    }
    return out;
}

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string piecePath(const std::string& base, int piece) {
    return base + "_p" + std::to_string(piece) + ".vtu";
}

}  // namespace

VtkResultSink::VtkResultSink(const Job& job, const FeMesh& mesh, RunLog& log, MPI_Comm comm)
    : job_(job), mesh_(&mesh), log_(log), comm_(comm) {
    MPI_Comm_rank(comm, &rank_);
    MPI_Comm_size(comm, &processes_);
}

VtkResultSink::VtkResultSink(const Job& job, RunLog& log, MPI_Comm comm)
    : VtkResultSink(job, job.mesh, log, comm) {
    if (!job.mesh.fileNodes.empty()) mesh_ = nullptr;
}

const FeMesh& VtkResultSink::mesh() const {
    if (!mesh_) mesh_ = &fileOrderMesh_.emplace(inFileOrder(job_.mesh));
    return *mesh_;
}

void VtkResultSink::modeValues(std::span<const double> values) {
    // The mode line shortens its numbers when there are many: the grids take them as it writes them.
    const std::string block = results::modeValueBlock(values);
    modeValues_ = numbersOf(block.substr(block.find('\n') + 1));
}

void VtkResultSink::step(const StepResult& step) {
    // On the other processes a step without a share is the whole model, which analyses that keep
    // their state on every process hand each of them while the first one writes it: only shares
    // are theirs to write.
    if (rank_ > 0 && !step.share) return;
    // A second step of one number joins the first one's grid: the modes of a heated state follow
    // its temperatures, handed on as step 1.
    Grid& grid = grids_[step.number];
    grid.time = step.time;
    if (job_.modal())
        grid.time = step.number >= 1 && static_cast<std::size_t>(step.number) <= modeValues_.size()
                        ? modeValues_[step.number - 1]
                        : step.number;
    if (processes_ > 1)
        grid.steps.push_back(step);
    else
        addStep(grid, step);
}

void VtkResultSink::addStep(Grid& grid, const StepResult& step) const {
    const std::size_t nodes = static_cast<std::size_t>(mesh().nodeCount());
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
        CornerSums sums(mesh(), 1);
        const CornerFields& corners = step.corners;
        for (std::size_t k = 0; k < std::min(corners.nodes.size(), corners.plasticStrains.size()); ++k) {
            const auto node = static_cast<std::size_t>(corners.nodes[k]) - 1;
            const double strain = asWritten(corners.plasticStrains[k], kCornerDigits);
            if (node < nodes) sums.add(node, &strain);
        }
        grid.arrays.push_back({"Plastic strain", 1, sums.means(mesh())});
    }
}

void VtkResultSink::addStresses(const CornerFields& corners, std::vector<PointArray>& arrays) const {
    CornerSums sums(mesh(), kStressValues);
    const std::vector<double> values = stressValues(corners);
    for (std::size_t k = 0; k < values.size() / kStressValues; ++k) {
        const auto node = static_cast<std::size_t>(corners.nodes[k]) - 1;
        if (node < static_cast<std::size_t>(mesh().nodeCount())) sums.add(node, &values[k * kStressValues]);
    }
    addStressArrays(sums.means(mesh()), arrays);
}

void VtkResultSink::addStressArrays(const std::vector<double>& means, std::vector<PointArray>& arrays) {
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

void VtkResultSink::addShare(const StepResult& step, const SharedPiece& piece, Grid& grid) const {
    for (const NodeField& field : step.nodeFields) {
        const NodeQuantityInfo info = nodeQuantityInfo(field.quantity);
        std::vector<double> share(field.values.size());
        for (std::size_t i = 0; i < share.size(); ++i) share[i] = asWritten(field.values[i], kNodeDigits);
        grid.arrays.push_back({info.name, info.width, piece.nodeValues(share, info.width)});
    }
    // A process whose share has no elements has no corners either: whether the step has corner
    // fields is every process's answer.
    const CornerFields& corners = step.corners;
    int mine[2] = {!corners.stresses.empty(), !corners.plasticStrains.empty()}, any[2] = {0, 0};
    meetFailures(comm_);
    MPI_Allreduce(mine, any, 2, MPI_INT, MPI_MAX, comm_);
    std::vector<int> cornerNodes(corners.nodes.size());
    for (std::size_t k = 0; k < cornerNodes.size(); ++k)
        cornerNodes[k] = corners.nodes[k] >= 1 ? corners.nodes[k] - 1 : -1;
    if (any[0])
        addStressArrays(piece.cornerMeans(cornerNodes, stressValues(corners), kStressValues), grid.arrays);
    if (!step.elementErrors.empty()) grid.elementErrors = step.elementErrors;
    if (any[1]) {
        std::vector<double> strains(std::min(corners.nodes.size(), corners.plasticStrains.size()));
        for (std::size_t k = 0; k < strains.size(); ++k)
            strains[k] = asWritten(corners.plasticStrains[k], kCornerDigits);
        grid.arrays.push_back({"Plastic strain", 1, piece.cornerMeans(cornerNodes, strains, 1)});
    }
}

std::vector<std::string> VtkResultSink::writeGrid(const Grid& grid, const std::string& base,
                                                  const std::vector<int>& pieces) const {
    VtuWriter writer(mesh());
    for (const PointArray& array : grid.arrays)
        writer.addPointData(array.name, array.components, array.values);
    std::vector<std::int32_t> bodies(static_cast<std::size_t>(mesh().elementCount()), 1);
    if (job_.geometry)
        for (int e = 0; e < mesh().elementCount(); ++e) bodies[e] = job_.geometry->bodyOfElement(e);
    writer.addCellData("Body", std::move(bodies));
    if (grid.elementErrors.size() == static_cast<std::size_t>(job_.mesh.elementCount()))
        writer.addCellData("Error estimate", grid.elementErrors);
    // The grid's other form, from an earlier run on another number of processes, goes: a reader
    // must not take it for this run's.
    removeStaleFile(base + (pieces.empty() ? ".pvtu" : ".vtu"), log_);
    if (pieces.empty()) {
        writer.write(base + ".vtu");
        removeStalePieces(base, 0, job_.resultPath, log_);
        return {base + ".vtu"};
    }
    std::vector<std::vector<int>> elements(
        static_cast<std::size_t>(*std::max_element(pieces.begin(), pieces.end()) + 1));
    for (std::size_t e = 0; e < pieces.size(); ++e) elements[pieces[e]].push_back(static_cast<int>(e));
    // Every piece is written beside its old one before any takes the old one's place.
    std::vector<std::string> written, names;
    std::vector<std::unique_ptr<FileSwap>> swaps;
    for (std::size_t k = 0; k < elements.size(); ++k) {
        written.push_back(piecePath(base, static_cast<int>(k)));
        swaps.push_back(std::make_unique<FileSwap>(written.back()));
        writer.writePiece(swaps.back()->aside(), elements[k]);
        names.push_back(fileName(written.back()));
    }
    try {
        for (const auto& swap : swaps) swap->putInPlace();
    } catch (...) {
        for (const auto& swap : swaps) swap->takeBack();
        throw;
    }
    for (const auto& swap : swaps) swap->keep();
    written.push_back(base + ".pvtu");
    writer.writeParallel(written.back(), names);
    removeStalePieces(base, static_cast<int>(elements.size()), job_.resultPath, log_);
    return written;
}

std::vector<std::string> VtkResultSink::writeSharedGrid(const Grid& grid, const std::string& base,
                                                        std::unique_ptr<SharedPiece>& piece) const {
    Grid share;
    for (const StepResult& step : grid.steps) {
        static const ModelShare none;
        const ModelShare& mine = step.share ? *step.share : none;
        if (!piece || !piece->sameShares(mine)) piece = std::make_unique<SharedPiece>(mesh(), mine, comm_);
        addShare(step, *piece, share);
    }
    VtuWriter writer(mesh());
    for (const PointArray& array : share.arrays)
        writer.addPointData(array.name, array.components, array.values);
    std::vector<std::int32_t> bodies;
    for (const int e : piece->elements())
        bodies.push_back(job_.geometry ? job_.geometry->bodyOfElement(e) : 1);
    writer.addCellData("Body", std::move(bodies));
    int mine = share.elementErrors.size() == piece->elements().size(), all = 0;
    meetFailures(comm_);
    MPI_Allreduce(&mine, &all, 1, MPI_INT, MPI_MIN, comm_);
    if (all) writer.addCellData("Error estimate", share.elementErrors);
    // Each process writes its piece beside the old one, and only once every piece is written do they
    // take the old ones' places: a piece that fails leaves no new piece beside an old one.
    const std::string path = piecePath(base, rank_);
    FileSwap swap(path);
    agreeOnFailure(comm_, [&] {
        if (rank_ == 0) removeStaleFile(base + ".vtu", log_);  // as writeGrid
        writer.writeOwnPiece(swap.aside(), piece->elements());
    });
    try {
        agreeOnFailure(comm_, [&] { swap.putInPlace(); });
    } catch (...) {
        swap.takeBack();
        throw;
    }
    swap.keep();
    if (rank_ != 0) {
        meetFailures(comm_);
        return {path};
    }
    std::vector<std::string> written, names;
    for (int k = 0; k < processes_; ++k) {
        written.push_back(piecePath(base, k));
        names.push_back(fileName(written.back()));
    }
    written.push_back(base + ".pvtu");
    agreeOnFailure(comm_, [&] {
        writer.writeParallel(written.back(), names);
        removeStalePieces(base, processes_, job_.resultPath, log_);
    });
    return written;
}

std::vector<std::string> VtkResultSink::writeGrids(const GridWriter& writeOne, bool shared) const {
    const std::string stem = pathStem(job_.resultPath);
    const bool single =
        grids_.size() == 1 && (job_.kind == SolveKind::Static || job_.kind == SolveKind::SteadyHeat ||
                               job_.kind == SolveKind::ThermalStress);
    // The collection is written, and the stale files beside it go, by the first process; on
    // several processes sharing the grids, the others learn whether that failed.
    const auto onFirst = [&](const auto& work) {
        const auto firstOnly = [&] {
            if (!shared || rank_ == 0) work();
        };
        if (shared)
            agreeOnFailure(comm_, firstOnly);
        else
            firstOnly();
    };
    if (single) {
        std::vector<std::string> written = writeOne(grids_.begin()->second, stem);
        // An earlier run of steps or modes of this job left its collection and step files: a
        // reader opening the collection would take it for this run's.
        onFirst([&] {
            removeStaleFile(stem + ".pvd", log_);
            removeStaleSteps(stem, {}, job_.resultPath, log_);
        });
        return written;
    }
    std::vector<std::string> written;
    std::vector<std::pair<double, std::string>> collection;
    std::vector<int> numbers;  // ascending, as the map holds them
    for (const auto& [number, grid] : grids_) {
        const std::vector<std::string> files = writeOne(grid, stem + "_" + std::to_string(number));
        written.insert(written.end(), files.begin(), files.end());
        collection.emplace_back(grid.time, fileName(files.back()));
        numbers.push_back(number);
    }
    onFirst([&] {
        writePvd(stem + ".pvd", collection);
        written.push_back(stem + ".pvd");
        removeStaleSteps(stem, numbers, job_.resultPath, log_);
        // And the grid of an earlier run of one step, in either form.
        removeStaleFile(stem + ".vtu", log_);
        removeStaleFile(stem + ".pvtu", log_);
        removeStalePieces(stem, 0, job_.resultPath, log_);
    });
    return written;
}

std::vector<std::string> VtkResultSink::write() const {
    if (processes_ == 1) return writeGathered();
    // The processes meet asleep rather than spinning: the first comes last, having finished the
    // result file alone (the add-on's head file goes once the blocks are in).
    waitForAll(comm_);
    int mine = rank_ > 0 && !grids_.empty(), shared = 0;
    MPI_Allreduce(&mine, &shared, 1, MPI_INT, MPI_MAX, comm_);
    if (!shared) {
        // The first process gathered the whole model and writes alone. The others wait for it: a run
        // that stops with partial results ends on every process right after, and a process that
        // ended first would take the first one down with it.
        std::vector<std::string> written;
        std::exception_ptr failure;
        try {
            if (rank_ == 0 && !grids_.empty()) written = writeGathered();
        } catch (...) {
            failure = std::current_exception();
        }
        waitForAll(comm_);
        if (failure) std::rethrow_exception(failure);
        return written;
    }
    // The pieces' exchanges allocate as they go: a process that runs out of memory in the middle of
    // them stops every process with its message instead of leaving the others waiting for it.
    return failingTogether(comm_, [&] {
        checkSameSteps();
        std::unique_ptr<SharedPiece> piece;
        return writeGrids(
            [&](const Grid& grid, const std::string& base) { return writeSharedGrid(grid, base, piece); },
            true);
    });
}

std::vector<std::string> VtkResultSink::writeGathered() const {
    std::vector<int> pieces = elementPieces(job_.mesh);
    if (pieces.size() != static_cast<std::size_t>(mesh().elementCount())) pieces.clear();
    return writeGrids(
        [&](const Grid& grid, const std::string& base) {
            if (grid.steps.empty()) return writeGrid(grid, base, pieces);  // worked out as they came
            Grid whole;
            for (const StepResult& step : grid.steps) addStep(whole, step);
            return writeGrid(whole, base, pieces);
        },
        false);
}

void VtkResultSink::checkSameSteps() const {
    // Every process must go through the same grids and steps, or one would wait for the others
    // in an exchange they never start.
    long long mine[3] = {static_cast<long long>(grids_.size()), 0, 0};
    for (const auto& [number, grid] : grids_) {
        mine[1] += static_cast<long long>(grid.steps.size());
        mine[2] += static_cast<long long>(grid.steps.size()) * (number + 1);
    }
    long long low[3], high[3];
    MPI_Allreduce(mine, low, 3, MPI_LONG_LONG, MPI_MIN, comm_);
    MPI_Allreduce(mine, high, 3, MPI_LONG_LONG, MPI_MAX, comm_);
    if (!std::equal(low, low + 3, high)) throw std::runtime_error("the processes hold different steps");
}

}  // namespace tarvsolv
