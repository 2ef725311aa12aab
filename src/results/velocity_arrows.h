#pragma once
// A flow's velocity drawn as arrows at the nodes of the faces the contour view shows: one arrow a
// node, the fastest as long as a tenth of the mesh's bounding-box diagonal, each with a head of four
// short lines so that it reads from any side. An arrow that leaves its face starts at the node; one
// that enters it (an inlet) ends there, so that it stays outside the body instead of hidden in it.
#include <span>
#include <vector>

#include "render/render_types.h"
#include "results/triangle_list.h"

namespace mesh_solve {
class Mesh;
}

namespace results {

// Share of the bounding-box diagonal the fastest arrow takes, and of an arrow its head.
inline constexpr double kArrowLengthShare = 0.1;
inline constexpr double kArrowHeadShare = 0.25;
// Lines per arrow: the shaft and four head lines.
inline constexpr std::size_t kLinesPerArrow = 5;

// The line list (two end points a line, in view coordinates: mesh coordinates / `lengthFactor`) of
// the arrows of `velocities` (x, y, z per node) at the nodes of `triangles`; elements a slice view
// cuts away and nodes at rest have none.
std::vector<render::Float3> velocityArrowLines(const mesh_solve::Mesh& mesh, const TriangleList& triangles,
                                               std::span<const double> velocities, double lengthFactor);

}  // namespace results
