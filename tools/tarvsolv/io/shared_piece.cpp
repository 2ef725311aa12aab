#include "io/shared_piece.h"

#include <algorithm>
#include <utility>

#include "base/exchange_lists.h"
#include "fem/corner_sums.h"
#include "io/vtu_writer.h"

namespace tarvsolv {

namespace {

// `starts` as one entry per process followed by `count`, each within 0..count and none below the
// one before: a share given short or out of order then comes out empty instead of out of bounds.
std::vector<std::size_t> sane(std::vector<std::size_t> starts, int processes, std::size_t count) {
    starts.resize(static_cast<std::size_t>(processes) + 1, count);
    starts.back() = count;
    std::size_t last = 0;
    for (std::size_t& start : starts) last = start = std::clamp(start, last, count);
    return starts;
}

bool inMesh(double node, const FeMesh& mesh) {
    return node >= 0 && node < mesh.nodeCount();
}

}  // namespace

SharedPiece::SharedPiece(const FeMesh& mesh, std::vector<std::size_t> elementStarts,
                         std::vector<std::size_t> nodeStarts, MPI_Comm comm)
    : mesh_(mesh), comm_(comm) {
    MPI_Comm_rank(comm, &rank_);
    MPI_Comm_size(comm, &size_);
    elementStarts_ = sane(std::move(elementStarts), size_, static_cast<std::size_t>(mesh.elementCount()));
    nodeStarts_ = sane(std::move(nodeStarts), size_, static_cast<std::size_t>(mesh.nodeCount()));
    for (auto e = elementStarts_[rank_]; e < elementStarts_[rank_ + 1]; ++e)
        elements_.push_back(static_cast<int>(e));
    nodes_ = nodesOfElements(mesh, elements_);
    local_.assign(static_cast<std::size_t>(mesh.nodeCount()), -1);
    for (std::size_t i = 0; i < nodes_.size(); ++i)
        local_[static_cast<std::size_t>(nodes_[i])] = static_cast<int>(i);
    findNodeOwners();
    findSharedNodes();
}

int SharedPiece::processOf(const std::vector<std::size_t>& starts, std::size_t index) const {
    const auto p =
        static_cast<int>(std::upper_bound(starts.begin(), starts.end(), index) - starts.begin()) - 1;
    return std::clamp(p, 0, size_ - 1);
}

void SharedPiece::findNodeOwners() {
    const auto processes = static_cast<std::size_t>(size_);
    asked_.assign(processes, {});
    std::vector<std::vector<double>> asks(processes);
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        const int owner = processOf(nodeStarts_, static_cast<std::size_t>(nodes_[i]));
        if (owner == rank_) continue;
        asked_[owner].push_back(static_cast<int>(i));
        asks[owner].push_back(nodes_[i]);
    }
    const ReceivedLists asked = exchangeLists(comm_, std::move(asks));
    const std::size_t first = nodeStarts_[rank_], end = nodeStarts_[rank_ + 1];
    askedOfMe_.assign(processes, {});
    for (std::size_t q = 0; q < processes; ++q)
        for (const double n : asked[q])
            askedOfMe_[q].push_back(n >= static_cast<double>(first) && n < static_cast<double>(end)
                                        ? static_cast<int>(static_cast<std::size_t>(n) - first)
                                        : -1);
}

void SharedPiece::findSharedNodes() {
    // Every process holds the mesh: the other pieces that use a node of this one follow from their
    // elements, with nothing exchanged.
    std::vector<std::pair<int, int>> users;  // (piece node, other process)
    for (int p = 0; p < size_; ++p) {
        if (p == rank_) continue;
        for (auto e = elementStarts_[p]; e < elementStarts_[p + 1]; ++e)
            for (int n : mesh_.elementNodes(static_cast<int>(e)))
                if (local_[static_cast<std::size_t>(n)] >= 0)
                    users.emplace_back(local_[static_cast<std::size_t>(n)], p);
    }
    std::sort(users.begin(), users.end());
    users.erase(std::unique(users.begin(), users.end()), users.end());
    summer_.assign(nodes_.size(), rank_);
    for (const auto& [i, p] : users) summer_[i] = std::min(summer_[i], p);
    sharers_.assign(static_cast<std::size_t>(size_), {});
    for (const auto& [i, p] : users)
        if (summer_[i] == rank_) sharers_[p].push_back(i);
}

std::vector<double> SharedPiece::nodeValues(std::span<const double> share, int width) const {
    const auto w = static_cast<std::size_t>(width);
    const auto value = [&](int j, std::size_t c) {
        return j >= 0 && (static_cast<std::size_t>(j) + 1) * w <= share.size() ? share[j * w + c] : 0.0;
    };
    std::vector<std::vector<double>> answers(static_cast<std::size_t>(size_));
    for (std::size_t q = 0; q < answers.size(); ++q)
        for (const int j : askedOfMe_[q])
            for (std::size_t c = 0; c < w; ++c) answers[q].push_back(value(j, c));
    const ReceivedLists answered = exchangeLists(comm_, std::move(answers));
    std::vector<double> out(nodes_.size() * w, 0.0);
    const std::size_t first = nodeStarts_[rank_], end = nodeStarts_[rank_ + 1];
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        const auto n = static_cast<std::size_t>(nodes_[i]);
        if (n < first || n >= end) continue;
        for (std::size_t c = 0; c < w; ++c) out[i * w + c] = value(static_cast<int>(n - first), c);
    }
    for (std::size_t r = 0; r < asked_.size(); ++r)
        for (std::size_t k = 0; k < asked_[r].size() && (k + 1) * w <= answered[r].size(); ++k)
            std::copy_n(
                answered[r].begin() + static_cast<std::ptrdiff_t>(k * w), w,
                out.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(asked_[r][k]) * w));
    return out;
}

std::vector<double> SharedPiece::cornerMeans(std::span<const int> cornerNodes, std::span<const double> values,
                                             int width) const {
    const auto w = static_cast<std::size_t>(width);
    std::vector<double> sums(nodes_.size() * w, 0.0);
    std::vector<int> hits(nodes_.size(), 0);
    const auto add = [&](std::size_t i, const double* v) {
        for (std::size_t c = 0; c < w; ++c) sums[i * w + c] += v[c];
        ++hits[i];
    };
    // This process's own corners first: the lowest piece that uses a node holds its lowest
    // elements, so its corners come first in the whole model's element order too.
    std::vector<std::vector<double>> toSummers(static_cast<std::size_t>(size_));
    const std::size_t corners = w ? std::min(cornerNodes.size(), values.size() / w) : 0;
    for (std::size_t k = 0; k < corners; ++k) {
        if (!inMesh(cornerNodes[k], mesh_)) continue;
        const int i = local_[static_cast<std::size_t>(cornerNodes[k])];
        if (i < 0) continue;
        const double* v = values.data() + k * w;
        if (summer_[i] == rank_) {
            add(static_cast<std::size_t>(i), v);
        } else {
            std::vector<double>& out = toSummers[static_cast<std::size_t>(summer_[i])];
            out.push_back(cornerNodes[k]);
            out.insert(out.end(), v, v + w);
        }
    }
    // Then the other pieces' corners, in process order, each piece's in element order.
    const ReceivedLists received = exchangeLists(comm_, std::move(toSummers));
    for (std::size_t p = 0; p < received.size(); ++p) {
        const std::span<const double> from = received[p];
        for (std::size_t at = 0; at + 1 + w <= from.size(); at += 1 + w) {
            if (!inMesh(from[at], mesh_)) continue;
            const int i = local_[static_cast<std::size_t>(from[at])];
            if (i >= 0 && summer_[i] == rank_) add(static_cast<std::size_t>(i), from.data() + at + 1);
        }
    }
    std::vector<double> means(sums.size(), 0.0);
    for (std::size_t i = 0; i < nodes_.size(); ++i)
        for (std::size_t c = 0; c < w && hits[i] > 0; ++c) means[i * w + c] = sums[i * w + c] / hits[i];
    // The means of the shared nodes go back to every other piece that uses them.
    std::vector<std::vector<double>> toSharers(static_cast<std::size_t>(size_));
    for (std::size_t p = 0; p < toSharers.size(); ++p)
        for (const int i : sharers_[p])
            if (hits[i] > 0) {
                toSharers[p].push_back(nodes_[i]);
                toSharers[p].push_back(hits[i]);
                toSharers[p].insert(toSharers[p].end(), means.begin() + static_cast<std::ptrdiff_t>(i * w),
                                    means.begin() + static_cast<std::ptrdiff_t>((i + 1) * w));
            }
    const ReceivedLists shared = exchangeLists(comm_, std::move(toSharers));
    for (std::size_t p = 0; p < shared.size(); ++p)
        for (std::size_t at = 0; at + 2 + w <= shared[p].size(); at += 2 + w) {
            if (!inMesh(shared[p][at], mesh_)) continue;
            const int i = local_[static_cast<std::size_t>(shared[p][at])];
            if (i < 0 || summer_[i] != static_cast<int>(p)) continue;
            hits[i] = static_cast<int>(shared[p][at + 1]);
            std::copy_n(shared[p].begin() + static_cast<std::ptrdiff_t>(at + 2), w,
                        means.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(i) * w));
        }
    fillMidSideMeans(
        mesh_, elements_,
        [&](int node) { return static_cast<std::size_t>(local_[static_cast<std::size_t>(node)]); }, hits,
        means, width);
    return means;
}

}  // namespace tarvsolv
