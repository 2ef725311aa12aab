#pragma once
// Numbers typed into the mesh and solve dialogs, taken as the dialogs always have: the first 59
// characters by plain decimal conversion, anything that is not a number reading as 0.
#include <optional>
#include <string>

namespace mesh_solve {

// 0 for text that does not start with a finite number ("abc", "", "nan", "1e999").
double plainNumber(const std::string& text);

// The text of a box that must hold a number, read as SOLVE, MESH and APPLY take it: the first 59
// characters, blanks around the number allowed; nothing when it is not a finite number ("",
// "abc", "12abc", "nan", "1e999").
std::optional<double> numberInBox(const std::string& text);

// The message that refuses `text` in the box labelled `label`.
std::string notANumberMessage(const std::string& label, const std::string& text);

// The whole-number part of `value`, kept inside the int range (the mesher's counts).
int wholePart(double value);

}  // namespace mesh_solve
