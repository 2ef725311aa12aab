#pragma once
// The few values processes that share a model need of each other's shares, sent in one
// MPI_Alltoallv: each process hands every other its own list and gets theirs.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <cstddef>
#include <vector>

namespace tarvsolv {

// Sends `outbox[p]` to process p (a missing entry sends nothing) and answers what each process of
// `comm` sent this one, by sender. Collective over `comm`.
inline std::vector<std::vector<double>> exchangeLists(MPI_Comm comm,
                                                      const std::vector<std::vector<double>>& outbox) {
    int size = 1;
    MPI_Comm_size(comm, &size);
    const auto processes = static_cast<std::size_t>(size);
    std::vector<int> sendCounts(processes, 0), sendStarts(processes, 0), counts(processes, 0),
        starts(processes, 0);
    std::vector<double> sent;
    for (std::size_t p = 0; p < processes && p < outbox.size(); ++p) {
        sendStarts[p] = static_cast<int>(sent.size());
        sendCounts[p] = static_cast<int>(outbox[p].size());
        sent.insert(sent.end(), outbox[p].begin(), outbox[p].end());
    }
    for (std::size_t p = outbox.size(); p < processes; ++p) sendStarts[p] = static_cast<int>(sent.size());
    MPI_Alltoall(sendCounts.data(), 1, MPI_INT, counts.data(), 1, MPI_INT, comm);
    int total = 0;
    for (std::size_t p = 0; p < processes; ++p) starts[p] = total, total += counts[p];
    std::vector<double> received(static_cast<std::size_t>(total));
    MPI_Alltoallv(sent.data(), sendCounts.data(), sendStarts.data(), MPI_DOUBLE, received.data(),
                  counts.data(), starts.data(), MPI_DOUBLE, comm);
    std::vector<std::vector<double>> inbox(processes);
    for (std::size_t p = 0; p < processes; ++p)
        inbox[p].assign(received.begin() + starts[p], received.begin() + starts[p] + counts[p]);
    return inbox;
}

}  // namespace tarvsolv
