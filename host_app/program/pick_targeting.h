#pragma once
// Targeting what a script names in the host's view: reading the item from the script's words,
// finding a pixel where a click picks it, and turning the camera until one exists.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "documents/host_session.h"
#include "documents/pick_item.h"
#include "program/view_camera.h"
#include "program/view_picker.h"
#include "program/view_tessellation.h"

namespace hostapp {

// Reads "kind:number" or "plane:NAME". Throws PickError naming what is wrong with the text.
PickItem parsePickItem(const std::string& text);

struct ViewPixel {
    int x = 0;
    int y = 0;
};

class PickTargeting {
  public:
    // The session, the tessellation and the picker must outlive the targeting.
    PickTargeting(const HostSession& session, const ViewTessellation& tessellation, const ViewPicker& picker);

    // A pixel of the view (right of the add-on's strip) where the picker answers `item`; nothing
    // when the item is hidden or off the view.
    std::optional<ViewPixel> visiblePixel(const ViewCamera& camera, const PickItem& item) const;

    // Keeps the view when the item can be picked in it; otherwise tries the standard views, then
    // views along the item's faces' normals and tilted from them, then views from all round, each
    // fitted to the model. False, with the camera as it was, when no view shows the item.
    bool turnToShow(ViewCamera& camera, const PickItem& item) const;

    // A pixel where `item` can be picked, the camera turned to show it when it is hidden; for no
    // item, a pixel where nothing is. Throws PickError when there is none.
    ViewPixel pixelToPick(ViewCamera& camera, const std::optional<PickItem>& item) const;

  private:
    // The pixel of the point when the picker answers the item there.
    std::optional<ViewPixel> picksBack(const ViewCamera& camera, const host::Point3& p,
                                       const PickItem& item) const;
    // The pixel nearest a mark (a vertex's or a design point's) that picks the item.
    std::optional<ViewPixel> nudgedPixel(const ViewCamera& camera, const host::Point3& p,
                                         const PickItem& item) const;
    // A pixel along a polyline that picks the item, searched from the middle of its length out.
    std::optional<ViewPixel> alongLine(const ViewCamera& camera, const std::vector<host::Point3>& points,
                                       const PickItem& item) const;
    std::optional<ViewPixel> planePixel(const ViewCamera& camera, const PickItem& item) const;
    std::optional<ViewPixel> facePixel(const ViewCamera& camera, const PickItem& item) const;
    std::optional<ViewPixel> emptyPixel(const ViewCamera& camera) const;

    const HostSession& session_;
    const ViewTessellation& tessellation_;
    const ViewPicker& picker_;
    std::pair<host::Point3, host::Point3> box_;
};

}  // namespace hostapp
