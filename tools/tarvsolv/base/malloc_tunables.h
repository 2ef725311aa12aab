#pragma once
// The C library's tunables (GLIBC_TUNABLES) the solver starts with: its large blocks on transparent
// huge pages (glibc.malloc.hugetlb=1). The solver touches hundreds of MB of fresh memory in each
// stage (the assembly's blocks, the matrix, the result file's text); in pages of 4 kB every first
// touch is a fault, and on a virtual machine those faults took a tenth of a static run and most of
// the result file's exchange between processes.
#include <algorithm>
#include <optional>
#include <string>

namespace tarvsolv {

// `current` (GLIBC_TUNABLES, or null) with the huge-page tunable added; nothing when it names that
// tunable already, to either value: a user who set it keeps it.
inline std::optional<std::string> tunablesWithHugePages(const char* current) {
    const std::string tunables = current ? current : "", name = "glibc.malloc.hugetlb=";
    // Entries are name=value, separated by colons.
    for (std::size_t at = 0; at < tunables.size();) {
        const std::size_t end = std::min(tunables.find(':', at), tunables.size());
        if (tunables.compare(at, name.size(), name) == 0) return std::nullopt;
        at = end + 1;
    }
    return (tunables.empty() ? "" : tunables + ":") + name + "1";
}

}  // namespace tarvsolv
