#pragma once
// Work split over processes may fail on one process only (a value it cannot evaluate in its
// share). Before any of them goes on to a collective step the others have left, they agree whether
// the work failed anywhere.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <exception>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace tarvsolv {

namespace detail {
// How many failures agreeOnFailure has thrown on this thread: a failure it threw is thrown on every
// process already and must not be carried to the others a second time.
inline thread_local unsigned agreedFailures = 0;
}  // namespace detail

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
    ++detail::agreedFailures;
    if (failure) std::rethrow_exception(failure);
    throw std::runtime_error(message);
}

// Where processes meet between the steps of a run of collective steps (see failingTogether): throws
// on every process when one of them failed since. Collective over `comm`.
inline void meetFailures(MPI_Comm comm) {
    agreeOnFailure(comm, [] {});
}

// Runs `steps`, collective steps over `comm` whose every collective call follows a meeting
// (meetFailures, or agreeOnFailure around the call's own work), and meets once more at their end.
// A failure on this process between two meetings (an allocation in the middle of an exchange) is
// carried to the others' next meeting, so that every process throws with the lowest failing
// process's message instead of the others waiting for this one in a collective call it never
// makes. Collective over `comm`.
template <class Steps>
auto failingTogether(MPI_Comm comm, Steps&& steps) -> decltype(steps()) {
    const unsigned agreed = detail::agreedFailures;
    try {
        if constexpr (std::is_void_v<decltype(steps())>) {
            steps();
            meetFailures(comm);
        } else {
            auto result = steps();
            meetFailures(comm);
            return result;
        }
    } catch (...) {
        if (detail::agreedFailures != agreed) throw;  // thrown on every process already
        const std::exception_ptr failure = std::current_exception();
        agreeOnFailure(comm, [&] { std::rethrow_exception(failure); });
        throw;  // not reached: agreeOnFailure rethrows the failure
    }
}

}  // namespace tarvsolv
