#pragma once
// Which physics an action's entry text belongs to. A Multiphysics loadcase holds mechanical and
// thermal actions in one list; each keeps the text its own physics gives it, so the text tells them
// apart.
#include <string_view>

namespace loadcase {

// True for the text of a thermal action ("face;heat=", "edge;heat=", "vertex;heat=",
// "point<2>;heat=", "face;convection=", "body;heat generation="); every other text is mechanical.
bool isThermalActionText(std::string_view text);

}  // namespace loadcase
