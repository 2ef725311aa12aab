#include "io/gathering_sink.h"

#include <algorithm>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "base/gathered_on_first.h"

namespace tarvsolv {

GatheringSink::GatheringSink(const FeMesh& mesh, ResultSink& next, MPI_Comm comm)
    : mesh_(mesh), next_(next), comm_(comm) {
    MPI_Comm_rank(comm_, &rank_);
}

void GatheringSink::modeValues(std::span<const double> values) {
    if (rank_ == 0) next_.modeValues(values);
}

bool GatheringSink::whole(const StepResult& step) const {
    if (rank_ != 0 || step.share) return false;
    const auto nodes = static_cast<std::size_t>(mesh_.nodeCount());
    const auto elements = static_cast<std::size_t>(mesh_.elementCount());
    for (const NodeField& field : step.nodeFields)
        if (field.values.size() != nodes * static_cast<std::size_t>(nodeQuantityInfo(field.quantity).width))
            return false;
    const auto covers = [](std::size_t size, std::size_t all) { return size == 0 || size == all; };
    return covers(step.corners.stresses.size(), 4 * elements) && covers(step.elementErrors.size(), elements);
}

void GatheringSink::step(const StepResult& step) {
    // Once a step waits, the later ones wait behind it, so that they go on in the order they came.
    if (shares_.empty() && whole(step))
        next_.step(step);
    else
        shares_.push_back(step);
}

namespace {

// `width` values per item of every process's share (`items` its items), put together on the first
// process in the order of the model's `count` items; empty elsewhere. Collective.
template <class T>
std::vector<T> inModelOrder(std::span<const T> values, std::span<const int> items, std::size_t width,
                            std::size_t count, MPI_Comm comm) {
    const std::vector<T> all =
        gatheredOnFirst(values.data(), std::min(values.size(), width * items.size()), comm);
    const std::vector<int> at = gatheredOnFirst(items.data(), items.size(), comm);
    std::vector<T> out;
    if (all.empty()) return out;
    out.resize(count * width);
    for (std::size_t i = 0; i < at.size() && (i + 1) * width <= all.size(); ++i)
        if (at[i] >= 0 && static_cast<std::size_t>(at[i]) < count)
            std::copy_n(all.begin() + static_cast<std::ptrdiff_t>(i * width), width,
                        out.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(at[i]) * width));
    return out;
}

}  // namespace

StepResult GatheringSink::gathered(const StepResult& share) const {
    StepResult out;
    out.number = share.number;
    out.time = share.time;
    // A process handed no share of the step holds nothing of it.
    static const ModelShare none;
    const ModelShare& mine = share.share ? *share.share : none;
    const auto nodes = static_cast<std::size_t>(mesh_.nodeCount());
    const auto elements = static_cast<std::size_t>(mesh_.elementCount());
    for (const NodeField& field : share.nodeFields) {
        const auto width = static_cast<std::size_t>(nodeQuantityInfo(field.quantity).width);
        out.add(field.quantity, inModelOrder<double>(field.values, mine.nodes, width, nodes, comm_));
    }
    const CornerFields& corners = share.corners;
    const auto ofElements = [&](const auto& values, std::size_t width) {
        using T = typename std::remove_cvref_t<decltype(values)>::value_type;
        return inModelOrder<T>(values, mine.elements, width, elements, comm_);
    };
    out.corners.nodes = ofElements(corners.nodes, 4);
    static_assert(sizeof(results::CornerStress) == 6 * sizeof(double));
    const std::vector<double> stresses = inModelOrder<double>(
        {reinterpret_cast<const double*>(corners.stresses.data()), 6 * corners.stresses.size()},
        mine.elements, 24, elements, comm_);
    out.corners.stresses.resize(stresses.size() / 6);
    std::copy(stresses.begin(), stresses.end(), reinterpret_cast<double*>(out.corners.stresses.data()));
    out.corners.plasticStrains = ofElements(corners.plasticStrains, 4);
    out.elementErrors = ofElements(share.elementErrors, 1);
    out.errorShares = ofElements(share.errorShares, 1);
    return out;
}

void GatheringSink::finish() {
    // Shares, when every process holds the same steps; when only the first holds any, they are
    // its whole steps (of fields that do not cover every node); others' steps beside the first's
    // whole ones hold nothing the first does not.
    // (A share on one process is the whole model in its order, and is put in the model's order too.)
    unsigned long long mine[3] = {shares_.size(), 0, 0}, first = shares_.size();
    MPI_Bcast(&first, 1, MPI_UNSIGNED_LONG_LONG, 0, comm_);
    mine[1] = rank_ == 0 ? 0 : shares_.size();
    mine[2] =
        std::any_of(shares_.begin(), shares_.end(), [](const StepResult& s) { return s.share != nullptr; });
    unsigned long long least[3], most[3];
    MPI_Allreduce(mine, least, 3, MPI_UNSIGNED_LONG_LONG, MPI_MIN, comm_);
    MPI_Allreduce(mine, most, 3, MPI_UNSIGNED_LONG_LONG, MPI_MAX, comm_);
    std::vector<StepResult> shares = std::move(shares_);
    shares_.clear();
    if (first == 0) return;
    if (most[1] == 0 && most[2] == 0) {
        for (const StepResult& step : shares) next_.step(step);
        return;
    }
    if (least[0] != first || most[0] != first)
        throw std::runtime_error("the processes were handed different result steps");
    for (StepResult& share : shares) {
        unsigned long long fields = share.nodeFields.size(), fewest = 0, mostFields = 0;
        MPI_Allreduce(&fields, &fewest, 1, MPI_UNSIGNED_LONG_LONG, MPI_MIN, comm_);
        MPI_Allreduce(&fields, &mostFields, 1, MPI_UNSIGNED_LONG_LONG, MPI_MAX, comm_);
        if (fewest != mostFields)
            throw std::runtime_error("the processes were handed different result fields");
        // Only the first process holds steps here when the others hold none (one process): one
        // without a share is whole already.
        const StepResult step = share.share || most[1] != 0 ? gathered(share) : std::move(share);
        share = StepResult{};  // its memory, before the next step's
        if (rank_ == 0) next_.step(step);
    }
}

}  // namespace tarvsolv
