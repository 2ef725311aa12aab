#pragma once
// The sizes a refinement asks for, as a Gmsh size field: the solver's size field file
// (formats/size_field.h) becomes a list-based view of linear tetrahedra, read by a "PostView"
// field. Where the new mesh reaches beyond the old one (a curved face), the view gives no size
// and the user's own sizes rule.
#include <string>
#include <vector>

namespace velgrin {

struct ModelSizes;

// Reads the file at `path` (in the display unit; `displayPerMillimetre` converts), holds its sizes
// to the lower and upper sizes, and answers the field's tag. Adds what the run log should say to
// `notes`. Throws VelgrinError (BadInput) when the file cannot be read.
int addRefinementField(const std::string& path, double displayPerMillimetre, const ModelSizes& sizes,
                       std::vector<std::string>& notes);

}  // namespace velgrin
