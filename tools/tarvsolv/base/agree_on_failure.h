#pragma once
// Work split over processes may fail on one process only (a value it cannot evaluate in its
// share). Before any of them goes on to a collective step the others have left, they agree whether
// the work failed anywhere.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <exception>
#include <stdexcept>
#include <string>

namespace tarvsolv {

// Runs `work` on this process, then agrees with every process of `comm`: a process whose own work
// threw rethrows its exception; when only others failed, throws std::runtime_error with the
// message of the lowest failing process. Collective over `comm`.
template <class Work>
void agreeOnFailure(MPI_Comm comm, Work&& work) {
    std::exception_ptr failure;
    std::string message;
    try {
        work();
    } catch (const std::exception& e) {
        failure = std::current_exception();
        message = e.what();
    } catch (...) {
        failure = std::current_exception();
        message = "an unknown failure";
    }
    int rank = 0, size = 1;
    MPI_Comm_rank(comm, &rank);
    MPI_Comm_size(comm, &size);
    const int mine = failure ? rank : size;
    int first = size;
    MPI_Allreduce(&mine, &first, 1, MPI_INT, MPI_MIN, comm);
    if (first == size) return;
    int length = static_cast<int>(message.size());
    MPI_Bcast(&length, 1, MPI_INT, first, comm);
    message.resize(static_cast<std::size_t>(length));
    MPI_Bcast(message.data(), length, MPI_CHAR, first, comm);
    if (failure) std::rethrow_exception(failure);
    throw std::runtime_error(message);
}

}  // namespace tarvsolv
