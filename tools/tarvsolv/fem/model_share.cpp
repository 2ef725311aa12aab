#include "fem/model_share.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <stdexcept>

#include "fem/node_pieces.h"

namespace tarvsolv {
namespace {

// Equal ranges of `count` items in process order.
std::vector<int> equalRanges(int count, int processes) {
    std::vector<int> owners(static_cast<std::size_t>(std::max(count, 0)));
    for (int p = 0; p < processes; ++p) {
        const auto first = static_cast<long long>(count) * p / processes;
        const auto end = static_cast<long long>(count) * (p + 1) / processes;
        std::fill(owners.begin() + first, owners.begin() + end, p);
    }
    return owners;
}

bool splitInto(const FeMesh& mesh, int processes) {
    return processes > 1 && mesh.pieceStarts.size() == static_cast<std::size_t>(processes) + 1;
}

std::vector<int> itemsOf(const std::vector<int>& owners, int process) {
    std::vector<int> items;
    for (std::size_t i = 0; i < owners.size(); ++i)
        if (owners[i] == process) items.push_back(static_cast<int>(i));
    return items;
}

}  // namespace

std::vector<int> elementOwners(const FeMesh& mesh, int processes) {
    if (!splitInto(mesh, processes)) return equalRanges(mesh.elementCount(), processes);
    return elementPieces(mesh);
}

std::vector<int> nodeOwners(const FeMesh& mesh, int processes) {
    if (!splitInto(mesh, processes) || mesh.fileNodes.size() != static_cast<std::size_t>(mesh.nodeCount()))
        return equalRanges(mesh.nodeCount(), processes);
    std::vector<int> owners(static_cast<std::size_t>(mesh.nodeCount()));
    for (int p = 0; p < processes; ++p)
        for (int n = mesh.pieceStarts[p]; n < mesh.pieceStarts[p + 1]; ++n) owners[mesh.fileNodes[n]] = p;
    return owners;
}

ModelShare modelShare(const FeMesh& mesh, MPI_Comm comm) {
    int rank = 0, size = 1;
    MPI_Comm_rank(comm, &rank);
    MPI_Comm_size(comm, &size);
    return {itemsOf(nodeOwners(mesh, size), rank), itemsOf(elementOwners(mesh, size), rank), mesh.nodeCount(),
            mesh.elementCount()};
}

std::vector<double> shareOfNodes(const FeMesh& mesh, std::span<const double> values, int width,
                                 const ModelShare& share) {
    const auto w = static_cast<std::size_t>(width);
    std::vector<double> out;
    out.reserve(w * share.nodes.size());
    // The mesh's number of each of the file's nodes.
    std::vector<int> meshNode(mesh.fileNodes.size());
    for (std::size_t n = 0; n < meshNode.size(); ++n) meshNode[mesh.fileNodes[n]] = static_cast<int>(n);
    for (const int n : share.nodes) {
        const auto at = w * static_cast<std::size_t>(meshNode.empty() ? n : meshNode[n]);
        if (at + w > values.size()) break;
        out.insert(out.end(), values.begin() + static_cast<std::ptrdiff_t>(at),
                   values.begin() + static_cast<std::ptrdiff_t>(at + w));
    }
    return out;
}

std::vector<double> shareOfElements(std::span<const double> values, const ModelShare& share) {
    std::vector<double> out;
    for (const int e : share.elements) {
        if (static_cast<std::size_t>(e) >= values.size()) break;
        out.push_back(values[static_cast<std::size_t>(e)]);
    }
    return out;
}

ElementSplit::ElementSplit(const FeMesh& mesh, MPI_Comm comm) : comm_(comm) {
    int size = 1;
    MPI_Comm_rank(comm, &rank_);
    MPI_Comm_size(comm, &size);
    const std::vector<int> owners = elementOwners(mesh, size);
    starts_.assign(static_cast<std::size_t>(size) + 1, 0);
    for (const int p : owners) ++starts_[static_cast<std::size_t>(p) + 1];
    std::partial_sum(starts_.begin(), starts_.end(), starts_.begin());
    elements_ = itemsOf(owners, rank_);
    if (std::is_sorted(owners.begin(), owners.end())) return;
    elementOfSlot_.resize(owners.size());
    std::vector<std::size_t> next(starts_.begin(), starts_.end() - 1);
    for (std::size_t e = 0; e < owners.size(); ++e) elementOfSlot_[next[owners[e]]++] = static_cast<int>(e);
}

void ElementSplit::toElementOrder(double* values, std::size_t width) const {
    // Follows each cycle of the permutation once, carrying one slot's values along it.
    std::vector<bool> moved(elementOfSlot_.size(), false);
    std::vector<double> carried(width), displaced(width);
    for (std::size_t start = 0; start < elementOfSlot_.size(); ++start) {
        if (moved[start]) continue;
        std::copy_n(values + start * width, width, carried.begin());
        std::size_t slot = start;
        do {
            moved[slot] = true;
            const auto to = static_cast<std::size_t>(elementOfSlot_[slot]);
            std::copy_n(values + to * width, width, displaced.begin());
            std::copy_n(carried.begin(), width, values + to * width);
            carried.swap(displaced);
            slot = to;
        } while (slot != start);
    }
}

void ElementSplit::countsOf(int width, std::vector<int>& counts, std::vector<int>& starts) const {
    // The same on every process: each throws alike.
    if (starts_.back() * static_cast<std::size_t>(width) > INT_MAX)
        throw std::runtime_error("too many values per element to share out among the processes");
    for (std::size_t p = 0; p + 1 < starts_.size(); ++p) {
        starts.push_back(static_cast<int>(starts_[p]) * width);
        counts.push_back(static_cast<int>(starts_[p + 1] - starts_[p]) * width);
    }
}

void ElementSplit::shareAmongAll(double* values, int width) const {
    if (single()) return;
    std::vector<int> counts, starts;
    countsOf(width, counts, starts);
    MPI_Allgatherv(MPI_IN_PLACE, 0, MPI_DATATYPE_NULL, values, counts.data(), starts.data(), MPI_DOUBLE,
                   comm_);
    if (!elementOfSlot_.empty()) toElementOrder(values, static_cast<std::size_t>(width));
}

std::vector<double> ElementSplit::gatheredOnFirst(std::span<const double> mine, int width) const {
    std::vector<int> counts, starts;
    countsOf(width, counts, starts);
    std::vector<double> out(rank_ == 0 ? starts_.back() * static_cast<std::size_t>(width) : 0);
    // A short share sends zeros for what it lacks rather than reading past its end.
    const auto count = static_cast<std::size_t>(counts[static_cast<std::size_t>(rank_)]);
    std::vector<double> padded;
    if (mine.size() < count) {
        padded.assign(mine.begin(), mine.end());
        padded.resize(count, 0.0);
        mine = padded;
    }
    MPI_Gatherv(mine.data(), static_cast<int>(count), MPI_DOUBLE, out.data(), counts.data(), starts.data(),
                MPI_DOUBLE, 0, comm_);
    if (rank_ == 0 && !elementOfSlot_.empty()) toElementOrder(out.data(), static_cast<std::size_t>(width));
    return out;
}

}  // namespace tarvsolv
