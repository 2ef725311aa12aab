#include "fem/box_mesh.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <random>
#include <vector>

namespace tarvsolv {
namespace {

constexpr int kCornerOfFace[4][3] = {{0, 2, 1}, {0, 1, 3}, {1, 2, 3}, {2, 0, 3}};
constexpr int kEdges[6][2] = {{0, 1}, {1, 2}, {0, 2}, {0, 3}, {1, 3}, {2, 3}};

double volume6(const std::array<Vec3, 4>& p) {
    return dot(cross(p[1] - p[0], p[2] - p[0]), p[3] - p[0]);
}

// The elements of body 1, then those of body 2, each in their order; facets follow their elements.
FeMesh inBodyOrder(const FeMesh& mesh, const std::vector<int>& body) {
    FeMesh out = mesh;
    out.conn.clear();
    out.facets.clear();
    std::vector<int> renumbered(body.size());
    const int p = mesh.nodesPerElement;
    for (int wanted : {1, 2})
        for (std::size_t e = 0; e < body.size(); ++e) {
            if (body[e] != wanted) continue;
            renumbered[e] = out.elementCount();
            out.conn.insert(out.conn.end(), mesh.conn.begin() + p * e, mesh.conn.begin() + p * (e + 1));
        }
    for (Facet f : mesh.facets) {
        f.element = renumbered[f.element];
        out.facets.push_back(f);
    }
    return out;
}

}  // namespace

FeMesh makeBoxMesh(const BoxSpec& box) {
    const int cellCounts[3] = {box.nx, box.ny, box.nz};
    const bool split = box.splitCells > 0 && box.splitCells < cellCounts[box.splitAxis];
    std::vector<int> body;  // per element
    FeMesh mesh;
    mesh.nodesPerElement = box.quadratic ? 10 : 4;
    const int f = box.quadratic ? 2 : 1;  // lattice points per cell along each axis
    const int lx = f * box.nx + 1, ly = f * box.ny + 1, lz = f * box.nz + 1;
    auto id = [&](int i, int j, int k) { return (k * ly + j) * lx + i; };
    mesh.xyz.resize(3ull * lx * ly * lz);
    for (int k = 0; k < lz; ++k)
        for (int j = 0; j < ly; ++j)
            for (int i = 0; i < lx; ++i) {
                const int n = id(i, j, k);
                mesh.xyz[3 * n] = box.origin.x + box.size.x * i / (lx - 1);
                mesh.xyz[3 * n + 1] = box.origin.y + box.size.y * j / (ly - 1);
                mesh.xyz[3 * n + 2] = box.origin.z + box.size.z * k / (lz - 1);
            }
    static constexpr int kPermutations[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2},
                                                {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    for (int ck = 0; ck < box.nz; ++ck)
        for (int cj = 0; cj < box.ny; ++cj)
            for (int ci = 0; ci < box.nx; ++ci)
                for (const auto& perm : kPermutations) {
                    // Corners as doubled-lattice offsets: 000, e_a, e_a + e_b, 111.
                    std::array<std::array<int, 3>, 4> corner{};
                    corner[1][perm[0]] = 1;
                    corner[2] = corner[1];
                    corner[2][perm[1]] = 1;
                    corner[3] = {1, 1, 1};
                    std::array<Vec3, 4> p;
                    for (int c = 0; c < 4; ++c)
                        p[c] = {double(corner[c][0]), double(corner[c][1]), double(corner[c][2])};
                    if (volume6(p) < 0) std::swap(corner[1], corner[2]);
                    auto lattice = [&](const std::array<int, 3>& twice) {  // position in half cells
                        return id(f * ci + twice[0] * f / 2, f * cj + twice[1] * f / 2,
                                  f * ck + twice[2] * f / 2);
                    };
                    std::array<std::array<int, 3>, 4> twice;
                    for (int c = 0; c < 4; ++c)
                        for (int a = 0; a < 3; ++a) twice[c][a] = 2 * corner[c][a];
                    for (int c = 0; c < 4; ++c) mesh.conn.push_back(lattice(twice[c]));
                    if (box.quadratic)
                        for (const auto& e : kEdges) {
                            std::array<int, 3> mid;
                            for (int a = 0; a < 3; ++a) mid[a] = (twice[e[0]][a] + twice[e[1]][a]) / 2;
                            mesh.conn.push_back(lattice(mid));
                        }
                    const int element = mesh.elementCount() - 1;
                    const int cellOf[3] = {ci, cj, ck};
                    const bool second = split && cellOf[box.splitAxis] >= box.splitCells;
                    body.push_back(second ? 2 : 1);
                    for (int face = 0; face < 4; ++face) {
                        for (int axis = 0; axis < 3; ++axis)
                            for (int side = 0; side < 2; ++side) {
                                // The sides of the element's own body.
                                const int cells = axis == 0 ? box.nx : axis == 1 ? box.ny : box.nz;
                                const bool cut = split && axis == box.splitAxis;
                                const int low = cut && second ? box.splitCells : 0;
                                const int high = cut && !second ? box.splitCells : cells;
                                bool on = true;
                                for (int k = 0; k < 3; ++k) {
                                    const int at = cellOf[axis] + corner[kCornerOfFace[face][k]][axis];
                                    on = on && at == (side ? high : low);
                                }
                                if (on)
                                    mesh.facets.push_back(
                                        {1 + 2 * axis + side + (second ? 6 : 0), element, face});
                            }
                    }
                }
    return split ? inBodyOrder(mesh, body) : mesh;
}

formats::MeshCompanion boxCompanion(const BoxSpec& box, const FeMesh& mesh) {
    formats::MeshCompanion companion;
    companion.nodeCount = mesh.nodeCount();
    companion.elementCount = mesh.elementCount();
    const int cells[3] = {box.nx, box.ny, box.nz};
    const bool split = box.splitCells > 0 && box.splitCells < cells[box.splitAxis];
    const int first =
        split ? mesh.elementCount() / cells[box.splitAxis] * box.splitCells : mesh.elementCount();
    companion.bodies.push_back({1, 1, first});
    if (split) companion.bodies.push_back({2, first + 1, mesh.elementCount()});
    return companion;
}

void mapNodes(FeMesh& mesh, const std::function<Vec3(const Vec3&)>& map) {
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const Vec3 p = map(mesh.node(n));
        mesh.xyz[3 * n] = p.x;
        mesh.xyz[3 * n + 1] = p.y;
        mesh.xyz[3 * n + 2] = p.z;
    }
}

void scrambleNodes(FeMesh& mesh, unsigned seed) {
    const auto nodes = static_cast<std::size_t>(mesh.nodeCount());
    std::vector<int> numberOf(nodes);
    std::iota(numberOf.begin(), numberOf.end(), 0);
    // Fisher-Yates on the standard engine, whose sequence the standard fixes (std::shuffle's is not).
    std::mt19937 draw(seed);
    for (std::size_t i = nodes; i > 1; --i) std::swap(numberOf[i - 1], numberOf[draw() % i]);
    std::vector<double> xyz(mesh.xyz.size());
    for (std::size_t n = 0; n < nodes; ++n)
        std::copy_n(mesh.xyz.begin() + static_cast<std::ptrdiff_t>(3 * n), 3,
                    xyz.begin() + static_cast<std::ptrdiff_t>(3 * static_cast<std::size_t>(numberOf[n])));
    mesh.xyz = std::move(xyz);
    for (int& n : mesh.conn) n = numberOf[n];
}

}  // namespace tarvsolv
