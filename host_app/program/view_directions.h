#pragma once
// Where to look from to see an item of the part: the directions the view is turned to, and the
// turn of the camera itself.
#include <vector>

#include "documents/host_session.h"
#include "documents/pick_item.h"
#include "program/view_camera.h"
#include "program/view_tessellation.h"

namespace hostapp {

// The directions (from the model towards the viewer) to try for `item`, each once: along the
// normals of the item's faces near it (their mean first) and tilted from them, which looks into
// holes and past neighbouring walls, then evenly from all round.
std::vector<host::Point3> viewDirections(const HostSession& session, const ViewTessellation& tessellation,
                                         const PickItem& item);

// Turns the camera to look from `toward` as a drag turns it from the front view. False when the
// camera did not end up there.
bool lookFrom(ViewCamera& camera, const host::Point3& toward);

}  // namespace hostapp
