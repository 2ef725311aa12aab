#include "io/gathering_sink.h"

#include <algorithm>
#include <stdexcept>
#include <string>

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
    if (rank_ != 0 || step.firstNode != 0 || step.firstElement != 0) return false;
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

StepResult GatheringSink::gathered(const StepResult& share) const {
    StepResult out;
    out.number = share.number;
    out.time = share.time;
    for (const NodeField& field : share.nodeFields)
        out.add(field.quantity, gatheredOnFirst(field.values, comm_));
    const CornerFields& corners = share.corners;
    out.corners.nodes = gatheredOnFirst(corners.nodes, comm_);
    static_assert(sizeof(results::CornerStress) == 6 * sizeof(double));
    const std::vector<double> stresses = gatheredOnFirst(
        reinterpret_cast<const double*>(corners.stresses.data()), 6 * corners.stresses.size(), comm_);
    out.corners.stresses.resize(stresses.size() / 6);
    std::copy(stresses.begin(), stresses.end(), reinterpret_cast<double*>(out.corners.stresses.data()));
    out.corners.plasticStrains = gatheredOnFirst(corners.plasticStrains, comm_);
    out.elementErrors = gatheredOnFirst(share.elementErrors, comm_);
    out.errorShares = gatheredOnFirst(share.errorShares, comm_);
    return out;
}

void GatheringSink::finish() {
    // Shares, when every process holds the same steps; when only the first holds any, they are
    // its whole steps (of fields that do not cover every node); others' steps beside the first's
    // whole ones hold nothing the first does not.
    unsigned long long mine[2] = {shares_.size(), 0}, first = shares_.size();
    MPI_Bcast(&first, 1, MPI_UNSIGNED_LONG_LONG, 0, comm_);
    mine[1] = rank_ == 0 ? 0 : shares_.size();
    unsigned long long least[2], most[2];
    MPI_Allreduce(mine, least, 2, MPI_UNSIGNED_LONG_LONG, MPI_MIN, comm_);
    MPI_Allreduce(mine, most, 2, MPI_UNSIGNED_LONG_LONG, MPI_MAX, comm_);
    std::vector<StepResult> shares = std::move(shares_);
    shares_.clear();
    if (first == 0) return;
    if (most[1] == 0) {
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
        const StepResult step = gathered(share);
        share = StepResult{};  // its memory, before the next step's
        if (rank_ == 0) next_.step(step);
    }
}

}  // namespace tarvsolv
