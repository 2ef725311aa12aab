#pragma once
// Every process's values one after the other, in process order, on the first process of a
// communicator: the results of the processes' shares handed to what takes the whole model there,
// and the pieces of a graph the ordering takes whole.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <climits>
#include <cstdint>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace tarvsolv {

template <class T>
MPI_Datatype mpiTypeOf() {
    if constexpr (std::is_same_v<T, double>) return MPI_DOUBLE;
    if constexpr (std::is_integral_v<T> && sizeof(T) == 4) return MPI_INT32_T;
    if constexpr (std::is_integral_v<T> && sizeof(T) == 8) return MPI_INT64_T;
    static_assert(std::is_same_v<T, double> || (std::is_integral_v<T> && (sizeof(T) == 4 || sizeof(T) == 8)));
}

// `size` values at `values` of every process after one another on the first process of `comm`
// (empty elsewhere). Collective; throws std::runtime_error on every process alike when they are
// more than MPI's int counts reach.
template <class T>
std::vector<T> gatheredOnFirst(const T* values, std::size_t size, MPI_Comm comm) {
    int rank = 0, processes = 1;
    MPI_Comm_rank(comm, &rank);
    MPI_Comm_size(comm, &processes);
    unsigned long long mine = size, total = 0;
    MPI_Allreduce(&mine, &total, 1, MPI_UNSIGNED_LONG_LONG, MPI_SUM, comm);
    if (total > INT_MAX) throw std::runtime_error("too many values to gather on one process");
    const int count = static_cast<int>(size);
    std::vector<int> counts(static_cast<std::size_t>(processes)), starts(counts.size(), 0);
    MPI_Gather(&count, 1, MPI_INT, counts.data(), 1, MPI_INT, 0, comm);
    for (std::size_t p = 1; p < counts.size(); ++p) starts[p] = starts[p - 1] + counts[p - 1];
    std::vector<T> out(rank == 0 ? total : 0);
    MPI_Gatherv(values, count, mpiTypeOf<T>(), out.data(), counts.data(), starts.data(), mpiTypeOf<T>(), 0,
                comm);
    return out;
}

template <class T>
std::vector<T> gatheredOnFirst(const std::vector<T>& values, MPI_Comm comm) {
    return gatheredOnFirst(values.data(), values.size(), comm);
}

}  // namespace tarvsolv
