#pragma once
// The size of the model a session holds: the length the overlay marks, the mesh sizes and the
// results displays scale with.
#include <string>

namespace addon {

// An assembly session's model size: its components are not measured.
inline constexpr double kAssemblyModelSize = 1000.0;

// In a part session the diagonal of the model's bounding box (through the design interface) times
// the library's length scale, never below 0; in an assembly session kAssemblyModelSize. Throws
// HostError when the host cannot give the box.
double modelSize(const std::string& sessionName, bool partSession);

}  // namespace addon
