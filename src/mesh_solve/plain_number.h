#pragma once
// Numbers typed into the mesh and solve dialogs, taken as the dialogs always have: the first 59
// characters by plain decimal conversion, anything that is not a number reading as 0.
#include <string>

namespace mesh_solve {

// 0 for text that does not start with a finite number ("abc", "", "nan", "1e999").
double plainNumber(const std::string& text);

// The whole-number part of `value`, kept inside the int range (the mesher's counts).
int wholePart(double value);

}  // namespace mesh_solve
