#include "io/shared_piece.h"

#include <algorithm>
#include <utility>

#include "base/agree_on_failure.h"
#include "base/exchange_lists.h"
#include "fem/corner_sums.h"
#include "io/vtu_writer.h"

namespace tarvsolv {

namespace {

bool inMesh(double node, const FeMesh& mesh) {
    return node >= 0 && node < mesh.nodeCount();
}

// The items of `share` within 0..count, ascending, each once: a share given out of order or out of
// bounds then comes out short instead of out of bounds.
std::vector<int> sane(const std::vector<int>& share, int count) {
    std::vector<int> out;
    for (const int i : share)
        if (i >= 0 && i < count && (out.empty() || i > out.back())) out.push_back(i);
    return out;
}

}  // namespace

SharedPiece::SharedPiece(const FeMesh& mesh, const ModelShare& share, MPI_Comm comm)
    : mesh_(mesh), comm_(comm) {
    MPI_Comm_rank(comm, &rank_);
    MPI_Comm_size(comm, &size_);
    shareNodes_ = sane(share.nodes, mesh.nodeCount());
    elements_ = sane(share.elements, mesh.elementCount());
    nodes_ = nodesOfElements(mesh, elements_);
    local_.assign(static_cast<std::size_t>(mesh.nodeCount()), -1);
    for (std::size_t i = 0; i < nodes_.size(); ++i)
        local_[static_cast<std::size_t>(nodes_[i])] = static_cast<int>(i);
    findNodeOwners(ownersOf(shareNodes_, static_cast<std::size_t>(mesh.nodeCount())));
    findSharedNodes(ownersOf(elements_, static_cast<std::size_t>(mesh.elementCount())));
}

bool SharedPiece::sameShares(const ModelShare& share) const {
    int same = share.nodes == shareNodes_ && share.elements == elements_, all = 0;
    meetFailures(comm_);
    MPI_Allreduce(&same, &all, 1, MPI_INT, MPI_MIN, comm_);
    return all != 0;
}

std::vector<int> SharedPiece::ownersOf(std::span<const int> mine, std::size_t count) const {
    const auto processes = static_cast<std::size_t>(size_);
    const int size = static_cast<int>(mine.size());
    std::vector<int> counts(processes), starts(processes, 0);
    meetFailures(comm_);
    MPI_Allgather(&size, 1, MPI_INT, counts.data(), 1, MPI_INT, comm_);
    for (std::size_t p = 1; p < processes; ++p) starts[p] = starts[p - 1] + counts[p - 1];
    std::vector<int> all(static_cast<std::size_t>(starts.back() + counts.back()));
    std::vector<int> owners(count, -1);
    meetFailures(comm_);
    MPI_Allgatherv(mine.data(), size, MPI_INT, all.data(), counts.data(), starts.data(), MPI_INT, comm_);
    for (std::size_t p = 0; p < processes; ++p)
        for (int k = starts[p]; k < starts[p] + counts[p]; ++k)
            owners[static_cast<std::size_t>(all[k])] = static_cast<int>(p);
    return owners;
}

int SharedPiece::shareIndex(double n) const {
    const auto at = std::lower_bound(shareNodes_.begin(), shareNodes_.end(), n);
    return at != shareNodes_.end() && *at == n ? static_cast<int>(at - shareNodes_.begin()) : -1;
}

void SharedPiece::findNodeOwners(const std::vector<int>& nodeOwner) {
    const auto processes = static_cast<std::size_t>(size_);
    asked_.assign(processes, {});
    std::vector<std::vector<double>> asks(processes);
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        const int owner = nodeOwner[static_cast<std::size_t>(nodes_[i])];
        if (owner == rank_ || owner < 0) continue;
        asked_[owner].push_back(static_cast<int>(i));
        asks[owner].push_back(nodes_[i]);
    }
    const ReceivedLists asked = exchangeLists(comm_, std::move(asks));
    askedOfMe_.assign(processes, {});
    for (std::size_t q = 0; q < processes; ++q)
        for (const double n : asked[q]) askedOfMe_[q].push_back(shareIndex(n));
}

void SharedPiece::findSharedNodes(const std::vector<int>& elementOwner) {
    // Every process holds the mesh: the other pieces that use a node of this one follow from their
    // elements, with nothing exchanged.
    std::vector<std::pair<int, int>> users;  // (piece node, other process)
    for (int e = 0; e < mesh_.elementCount(); ++e) {
        const int p = elementOwner[static_cast<std::size_t>(e)];
        if (p == rank_ || p < 0) continue;
        for (int n : mesh_.elementNodes(e))
            if (local_[static_cast<std::size_t>(n)] >= 0)
                users.emplace_back(local_[static_cast<std::size_t>(n)], p);
    }
    std::sort(users.begin(), users.end());
    users.erase(std::unique(users.begin(), users.end()), users.end());
    summer_.assign(nodes_.size(), rank_);
    shared_.assign(nodes_.size(), false);
    for (const auto& [i, p] : users) summer_[i] = std::min(summer_[i], p), shared_[i] = true;
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
    // Both lists ascend: this process's own piece nodes are found in its share in one pass.
    std::size_t j = 0;
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        while (j < shareNodes_.size() && shareNodes_[j] < nodes_[i]) ++j;
        if (j == shareNodes_.size() || shareNodes_[j] != nodes_[i]) continue;
        for (std::size_t c = 0; c < w; ++c) out[i * w + c] = value(static_cast<int>(j), c);
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
    // A node only this piece uses takes its corners as they come, in element order. The corners of a
    // node several pieces use go to the lowest of them with their element, which sums them in the
    // whole model's element order, as the shares' elements interleave.
    struct Corner {
        double element;
        int node;  // the piece node
        const double* values;
    };
    std::vector<Corner> pending;
    std::vector<std::vector<double>> toSummers(static_cast<std::size_t>(size_));
    const std::size_t corners = w ? std::min(cornerNodes.size(), values.size() / w) : 0;
    for (std::size_t k = 0; k < corners; ++k) {
        if (!inMesh(cornerNodes[k], mesh_)) continue;
        const int i = local_[static_cast<std::size_t>(cornerNodes[k])];
        if (i < 0) continue;
        const double* v = values.data() + k * w;
        const double element = k / 4 < elements_.size() ? elements_[k / 4] : mesh_.elementCount();
        if (summer_[i] == rank_ && !shared_[i]) {
            add(static_cast<std::size_t>(i), v);
        } else if (summer_[i] == rank_) {
            pending.push_back({element, i, v});
        } else {
            std::vector<double>& out = toSummers[static_cast<std::size_t>(summer_[i])];
            out.push_back(cornerNodes[k]);
            out.push_back(element);
            out.insert(out.end(), v, v + w);
        }
    }
    const ReceivedLists received = exchangeLists(comm_, std::move(toSummers));
    for (std::size_t p = 0; p < received.size(); ++p) {
        const std::span<const double> from = received[p];
        for (std::size_t at = 0; at + 2 + w <= from.size(); at += 2 + w) {
            if (!inMesh(from[at], mesh_)) continue;
            const int i = local_[static_cast<std::size_t>(from[at])];
            if (i >= 0 && summer_[i] == rank_) pending.push_back({from[at + 1], i, from.data() + at + 2});
        }
    }
    std::stable_sort(pending.begin(), pending.end(),
                     [](const Corner& a, const Corner& b) { return a.element < b.element; });
    for (const Corner& corner : pending) add(static_cast<std::size_t>(corner.node), corner.values);
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
