#pragma once
// What the results displays share while one of them shows results (one display at a time): band
// limits, the quantity shown, the triangle list, the mesh's bounding box and the view switches.
#include <string>
#include <string_view>

#include "results/contour_colours.h"
#include "results/slice_flags.h"
#include "results/triangle_list.h"

namespace results {

struct DisplayState {
    BandLimits limits{};
    int kind = 0;
    int item = 0;
    int position = -1;      // quantity-list position shown, -1 when none
    bool noValues = false;  // the result file gave no value of the quantity: the mesh is shown plain
    TriangleList triangles;
    BoundingBox box;
    bool sliceView = false;
    bool animate = false;
    double lengthFactor = 1.0;  // mesh coordinates / factor = host-view coordinates
};

DisplayState& displayState();

// Back to the state of a fresh library.
void resetDisplayState();

// What both displays say in place of a range when a reading gave no value of the quantity.
std::string noValuesText(std::string_view legendLabel);

}  // namespace results
