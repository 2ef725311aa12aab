#pragma once
// Waits until every process of `comm` has come here, asleep rather than polling. MPI's collectives
// poll while they wait, so a process waiting for the first one's lone work (the mesh's partition,
// the error estimate, the result files) keeps a core busy and, on a machine with no core to spare,
// slows the very work it waits for.
#include <petscsys.h>  // MPI, without its C++ bindings
#include <time.h>

namespace tarvsolv {

inline void waitForAll(MPI_Comm comm) {
    MPI_Request request;
    if (MPI_Ibarrier(comm, &request) != MPI_SUCCESS) {
        MPI_Barrier(comm);
        return;
    }
    // A millisecond's nap: a wait of a second or more ends at most that much later.
    const timespec nap{0, 1000000};
    int done = 0;
    while (MPI_Test(&request, &done, MPI_STATUS_IGNORE) == MPI_SUCCESS && !done) nanosleep(&nap, nullptr);
}

}  // namespace tarvsolv
