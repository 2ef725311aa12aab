#pragma once
// Disjoint sets of node numbers kept as a parent array (a node is a root when it is its own
// parent): the connected parts of a mesh and of its bodies.
#include <vector>

namespace tarvsolv {

// The root of `n`'s set; halves the path on the way, so that later finds are short.
inline int findRoot(std::vector<int>& parent, int n) {
    while (parent[n] != n) {
        parent[n] = parent[parent[n]];
        n = parent[n];
    }
    return n;
}

}  // namespace tarvsolv
