#pragma once
// Where the view draws a reference plane: a square through the origin square to the plane's
// normal, of side 0.6 times the model's size, centred where the model box's centre falls on it.
#include <array>

#include "host/geometry.h"

namespace hostapp {

// The frame's four corners in order around it; a zero normal gives the box centre four times.
std::array<host::Point3, 4> planeFrame(const host::Point3& normal, const host::Point3& boxLow,
                                       const host::Point3& boxHigh);

}  // namespace hostapp
