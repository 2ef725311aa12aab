#pragma once
// The element sizes the solver asks the mesher for when it refines a mesh: the old mesh's corner
// nodes, each with the size wanted there, and its tetrahedra, across which the size is linear.
// Text, written by the solver and read by the mesher (velgrin --size-field <file>):
//
//   KOLVANE SIZE FIELD 1 / UNIT <unit>
//   NODES <n>, then "<x> <y> <z> <size>" per node, in the display unit
//   TETRAHEDRA <m>, then "<a> <b> <c> <d>" per element, nodes from 1
//   END
#include <array>
#include <string>
#include <vector>

namespace formats {

struct SizeField {
    std::string unitText = "mm";
    std::vector<std::array<double, 3>> positions;
    std::vector<double> sizes;                   // one per position, above 0
    std::vector<std::array<int, 4>> tetrahedra;  // positions from 1
    friend bool operator==(const SizeField&, const SizeField&) = default;
};

// Writes `field` to `path` under a temporary name and moves it into place; false (and no file at
// `path` changed) when it cannot be written.
bool writeSizeField(const std::string& path, const SizeField& field);

// Reads the file at `path` into `field`; on failure answers why and leaves `field` empty. Every
// count, node number and size is checked, so a damaged file is refused, never read in part.
std::string readSizeField(const std::string& path, SizeField& field);

}  // namespace formats
