#pragma once
// A point of the model where the view's camera puts it on the screen, without its depth.
#include "host/geometry.h"
#include "program/view_camera.h"

namespace hostapp {

struct ScreenPoint {
    double x, y;
};

inline ScreenPoint onScreen(const ViewCamera& camera, const host::Point3& p) {
    const ViewPoint v = camera.project(p);
    return {v.x, v.y};
}

}  // namespace hostapp
