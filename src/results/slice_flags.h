#pragma once
// Which nodes and elements a slice view cuts away: each node's position in percent of the mesh's
// bounding box against the three slider positions.
#include <array>

namespace mesh_solve {
class Mesh;
}

namespace results {

struct BoundingBox {
    std::array<double, 3> low{0, 0, 0};
    std::array<double, 3> high{0, 0, 0};
    std::array<double, 3> centre() const {
        return {(low[0] + high[0]) / 2, (low[1] + high[1]) / 2, (low[2] + high[2]) / 2};
    }
};

inline constexpr char kVisible = 'v';
inline constexpr char kCutAway = 'i';
inline constexpr char kCut = 'c';

BoundingBox boundingBox(const mesh_solve::Mesh& mesh);

// Sets the mesh's node states ('i' when any percentage exceeds its slider, else 'v', node n at index
// n) and element states ('i' when all nodes are 'i', 'v' when none is, else 'c', element e at index e).
void computeSliceFlags(mesh_solve::Mesh& mesh, const BoundingBox& box, const std::array<int, 3>& sliders);

}  // namespace results
