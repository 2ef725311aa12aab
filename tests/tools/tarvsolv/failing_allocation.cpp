#include "failing_allocation.h"

#include <atomic>
#include <cstdlib>
#include <exception>
#include <new>

namespace {
std::atomic<std::size_t> countdown{0}, counted{0};
std::atomic<bool> failed{false};
}  // namespace

void* operator new(std::size_t size) {
    counted.fetch_add(1, std::memory_order_relaxed);
    if (countdown.load(std::memory_order_relaxed) != 0 && countdown.fetch_sub(1) == 1) {
        failed = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace tarvsolv::testing {

void failAllocation(std::size_t n) {
    countdown = 0;
    counted = 0;
    failed = false;
    countdown = n;
}

std::size_t allocationsCounted() {
    return counted;
}

bool allocationFailed() {
    return failed;
}

void failEachAllocation(int process, MPI_Comm comm, const std::function<void()>& work,
                        const std::function<void(std::size_t, const std::string&)>& check) {
    int rank = 0;
    MPI_Comm_rank(comm, &rank);
    if (rank == process) failAllocation(0);
    std::string message;
    try {
        work();
    } catch (const std::exception& e) {
        message = e.what();
    }
    unsigned long long count = rank == process ? allocationsCounted() : 0;
    MPI_Bcast(&count, 1, MPI_UNSIGNED_LONG_LONG, process, comm);
    check(0, message);
    constexpr unsigned long long kEach = 40;
    const unsigned long long stride = count > kEach ? (count - kEach) / kEach + 1 : 1;
    for (unsigned long long n = 1; n <= count; n += n < kEach ? 1 : stride) {
        if (rank == process) failAllocation(n);
        message.clear();
        try {
            work();
        } catch (const std::exception& e) {
            message = e.what();
        }
        int failed = rank == process && allocationFailed();
        failAllocation(0);
        MPI_Bcast(&failed, 1, MPI_INT, process, comm);
        check(failed ? n : 0, message);
    }
}

}  // namespace tarvsolv::testing
