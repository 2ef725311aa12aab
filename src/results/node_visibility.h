#pragma once
// Which vertices of the results window's triangle list a camera sees. A vertex is seen when it
// lies in front of the eye and inside the window, belongs to a triangle the window draws (back
// faces are culled) that is not seen edge-on, and no other drawn triangle lies between it and the
// eye. The probe and the number labels take only these vertices, so a node hidden behind the
// model gets no label and the labels need no depth test against the picture.
#include <cstdint>
#include <span>
#include <vector>

#include "results/gl_camera.h"

namespace results {

// One flag per vertex (positions: x, y, z per vertex; nodes: the node each vertex shows, three
// vertices per triangle). Triangles sharing the vertex's node never hide it.
std::vector<bool> visibleVertices(std::span<const float> positions, std::span<const std::int32_t> nodes,
                                  const GlCamera& camera);

}  // namespace results
