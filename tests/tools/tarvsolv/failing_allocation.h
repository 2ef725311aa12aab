#pragma once
// Allocation failures on demand: the test program replaces operator new by one that throws
// std::bad_alloc at the allocation a test arms, once, as a process that runs out of memory does.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tarvsolv::testing {

// Counts allocations from now and makes the `n`-th (1: the next) throw std::bad_alloc; 0 only counts.
void failAllocation(std::size_t n);
// The allocations since failAllocation, and whether the armed one failed.
std::size_t allocationsCounted();
bool allocationFailed();

// Runs `work` on every process of `comm`, once to count the allocations it makes on process
// `process`, then again with each of the first of them and about as many spread over the rest
// failing there. After each run (the first too) `check` gets on every process the failed allocation's number
// and what `work` threw here ("" for nothing) when it failed, 0 and "" when it did not. Collective.
void failEachAllocation(int process, MPI_Comm comm, const std::function<void()>& work,
                        const std::function<void(std::size_t, const std::string&)>& check);

}  // namespace tarvsolv::testing
