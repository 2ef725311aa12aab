#pragma once
// The few values processes that share a model need of each other's shares, sent in one
// MPI_Alltoallv: each process hands every other its own list and gets theirs.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "base/agree_on_failure.h"

namespace tarvsolv {

// What every process sent this one, one list after the other in process order.
class ReceivedLists {
  public:
    ReceivedLists(std::vector<double> values, std::vector<std::size_t> starts)
        : values_(std::move(values)), starts_(std::move(starts)) {}
    std::size_t size() const { return starts_.size() - 1; }
    std::span<const double> operator[](std::size_t p) const {
        return {values_.data() + starts_[p], starts_[p + 1] - starts_[p]};
    }

  private:
    std::vector<double> values_;
    std::vector<std::size_t> starts_;  // each sender's first value, then the count
};

// Sends `outbox[p]` to process p (a missing entry sends nothing) and answers what each process of
// `comm` sent this one. The lists go as they are packed, so that a large exchange is not held
// twice over. Collective over `comm`; each of its collective calls follows a meeting
// (failingTogether), so that a process that cannot pack or receive its lists fails every process.
inline ReceivedLists exchangeLists(MPI_Comm comm, std::vector<std::vector<double>> outbox) {
    int size = 1;
    MPI_Comm_size(comm, &size);
    const auto processes = static_cast<std::size_t>(size);
    outbox.resize(processes);
    std::vector<int> sendCounts(processes), sendStarts(processes), counts(processes), starts(processes);
    std::size_t total = 0;
    for (const std::vector<double>& list : outbox) total += list.size();
    std::vector<double> sent;
    sent.reserve(total);
    for (std::size_t p = 0; p < processes; ++p) {
        sendStarts[p] = static_cast<int>(sent.size());
        sendCounts[p] = static_cast<int>(outbox[p].size());
        sent.insert(sent.end(), outbox[p].begin(), outbox[p].end());
        std::vector<double>().swap(outbox[p]);
    }
    meetFailures(comm);
    MPI_Alltoall(sendCounts.data(), 1, MPI_INT, counts.data(), 1, MPI_INT, comm);
    std::vector<std::size_t> from(processes + 1, 0);
    for (std::size_t p = 0; p < processes; ++p) {
        starts[p] = static_cast<int>(from[p]);
        from[p + 1] = from[p] + static_cast<std::size_t>(counts[p]);
    }
    std::vector<double> received(from.back());
    meetFailures(comm);
    MPI_Alltoallv(sent.data(), sendCounts.data(), sendStarts.data(), MPI_DOUBLE, received.data(),
                  counts.data(), starts.data(), MPI_DOUBLE, comm);
    return {std::move(received), std::move(from)};
}

}  // namespace tarvsolv
