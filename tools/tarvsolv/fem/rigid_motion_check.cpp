#include "fem/rigid_motion_check.h"

#include <array>
#include <cmath>
#include <map>
#include <numeric>

#include "fem/disjoint_sets.h"

namespace tarvsolv {
namespace {

// The connected part (a root node) of every node; -1 for nodes no element uses, which the
// solvers hold at 0 and which belong to no part.
std::vector<int> nodeParts(const FeMesh& mesh) {
    std::vector<int> parent(mesh.nodeCount());
    std::iota(parent.begin(), parent.end(), 0);
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        const int root = findRoot(parent, nodes[0]);
        for (int n : nodes) parent[findRoot(parent, n)] = root;
    }
    std::vector<char> used(mesh.nodeCount(), 0);
    for (int n : mesh.conn) used[n] = 1;
    std::vector<int> part(mesh.nodeCount(), -1);
    for (int n = 0; n < mesh.nodeCount(); ++n)
        if (used[n]) part[n] = findRoot(parent, n);
    return part;
}

using Gram = std::array<std::array<double, 6>, 6>;

// Index of the first rigid mode that the Gram matrix of the held modes leaves free, or -1.
int firstFreeMode(Gram g) {
    double largest = 0;
    for (int i = 0; i < 6; ++i) largest = std::max(largest, g[i][i]);
    if (largest <= 0) return 0;
    // Cholesky with a relative pivot test: a small pivot means the mode is a combination of
    // motions the restraints do not see.
    for (int i = 0; i < 6; ++i) {
        double pivot = g[i][i];
        for (int k = 0; k < i; ++k) pivot -= g[i][k] * g[i][k];
        if (pivot <= 1e-9 * largest) return i;
        const double root = std::sqrt(pivot);
        g[i][i] = root;
        for (int j = i + 1; j < 6; ++j) {
            double v = g[j][i];
            for (int k = 0; k < i; ++k) v -= g[j][k] * g[i][k];
            g[j][i] = v / root;
        }
    }
    return -1;
}

const char* kModeNames[6] = {"move along X",   "move along Y",   "move along Z",
                             "rotate about X", "rotate about Y", "rotate about Z"};

}  // namespace

std::optional<std::string> findFreeRigidMotion(const FeMesh& mesh, const DofLayout& layout) {
    const std::vector<int> part = nodeParts(mesh);
    struct PartData {
        Vec3 centre;
        int count = 0;
        double size = 0;
        Gram gram{};
    };
    std::map<int, PartData> parts;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        if (part[n] < 0) continue;
        auto& p = parts[part[n]];
        p.centre = p.centre + mesh.node(n);
        ++p.count;
    }
    for (auto& [root, p] : parts) p.centre = (1.0 / p.count) * p.centre;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        if (part[n] < 0) continue;
        auto& p = parts[part[n]];
        p.size = std::max(p.size, norm(mesh.node(n) - p.centre));
    }
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        if (part[n] < 0) continue;
        auto& p = parts[part[n]];
        const Vec3 r = (1.0 / (p.size > 0 ? p.size : 1.0)) * (mesh.node(n) - p.centre);
        // Rigid modes at this node: three translations, three rotations.
        const Vec3 modes[6] = {{1, 0, 0},      {0, 1, 0},      {0, 0, 1},
                               {0, -r.z, r.y}, {r.z, 0, -r.x}, {-r.y, r.x, 0}};
        const Frame* frame = layout.frameOf(n);
        for (int a = 0; a < 3; ++a) {
            if (!layout.isPrescribed(3 * n + a)) continue;
            const Vec3 direction = frame ? Vec3{(*frame)[3 * a], (*frame)[3 * a + 1], (*frame)[3 * a + 2]}
                                         : Vec3{a == 0 ? 1.0 : 0.0, a == 1 ? 1.0 : 0.0, a == 2 ? 1.0 : 0.0};
            double v[6];
            for (int k = 0; k < 6; ++k) v[k] = dot(direction, modes[k]);
            for (int i = 0; i < 6; ++i)
                for (int j = 0; j < 6; ++j) p.gram[i][j] += v[i] * v[j];
        }
    }
    for (const auto& [root, p] : parts) {
        const int free = firstFreeMode(p.gram);
        if (free >= 0)
            return "the part of the mesh holding node " + std::to_string(mesh.fileNumber(root) + 1) +
                   " can " + kModeNames[free] + " freely: add restraints (the model is singular)";
    }
    return std::nullopt;
}

bool everyPartTouched(const FeMesh& mesh, const std::vector<char>& nodeSet) {
    const std::vector<int> part = nodeParts(mesh);
    std::map<int, bool> touched;
    for (int n = 0; n < mesh.nodeCount(); ++n)
        if (part[n] >= 0) touched[part[n]] = touched[part[n]] || nodeSet[n];
    for (const auto& [root, t] : touched)
        if (!t) return false;
    return true;
}

}  // namespace tarvsolv
