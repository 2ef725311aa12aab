#pragma once
// Picking in the host's view: what lies under a pixel (a vertex, design point, edge, reference
// plane or face), a pixel where a given item can be picked, and turning the camera until it can.
// Faces are found along the pixel's line of sight by OpenCASCADE's intersection with the exact
// shape; vertices, edges, design points and plane frames by their distance on the screen, vertices
// and edges only where no face lies in front of them.
#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <TopTools_DataMapOfShapeInteger.hxx>

#include "documents/host_session.h"
#include "program/view_camera.h"
#include "program/view_tessellation.h"

class IntCurvesFace_ShapeIntersector;

namespace hostapp {

enum class PickKind { Face, Edge, Vertex, Point, Plane };

// One thing a person can pick, as the scripts write it: "face:3", "edge:12", "vertex:1" (numbers
// over the whole part, from 1), "point:2" (a design point's number), "plane:XY" (a plane's name).
struct PickItem {
    PickKind kind = PickKind::Face;
    int number = 0;     // faces, edges, vertices and design points
    std::string plane;  // planes

    std::string text() const;
    friend bool operator==(const PickItem&, const PickItem&) = default;
};

class PickError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads "kind:number" or "plane:NAME". Throws PickError naming what is wrong with the text.
PickItem parsePickItem(const std::string& text);

// The object the selection holds for an item of `session` (a face, edge or vertex automation
// object, a design point or a plane). Throws PickError when the session has no such item.
platform::RefPtr<platform::IUnknown> pickedObject(const HostSession& session, const PickItem& item);

// The frame the view draws for the plane through the origin with normal `normal`: a square of
// 0.6 times the box's diagonal, centred where the box's middle projects onto the plane, corners in
// order around it. All four corners are the box's middle for a zero normal.
std::array<host::Point3, 4> planeFrame(const host::Point3& normal,
                                       const std::pair<host::Point3, host::Point3>& box);

struct ViewPixel {
    int x = 0;
    int y = 0;
};

class ViewPicker {
  public:
    // The session's design points and planes are read at every call, so points and planes added
    // later take part. Both must outlive the picker.
    ViewPicker(const HostSession& session, const ViewTessellation& tessellation);
    ~ViewPicker();
    ViewPicker(const ViewPicker&) = delete;
    ViewPicker& operator=(const ViewPicker&) = delete;

    // What is under the pixel (x, y), in this order: a visible vertex within 6 pixels, a design
    // point's mark within 6, a visible edge within 4, a plane frame's outline within 4, the nearest
    // face along the line of sight. Nearest on the screen first, then nearest the viewer.
    std::optional<PickItem> pickAt(const ViewCamera& camera, double x, double y) const;

    // A pixel of the view (right of the add-on's strip) where pickAt answers `item`; nothing when
    // the item is hidden or off the view.
    std::optional<ViewPixel> visiblePixel(const ViewCamera& camera, const PickItem& item) const;

    // Keeps the view when the item can be picked in it; otherwise tries the standard views, then
    // views along the item's faces' normals and tilted from them, then views from all round, each
    // fitted to the model. False, with the camera as it was, when no view shows the item.
    bool turnToShow(ViewCamera& camera, const PickItem& item) const;

  private:
    struct Hit {
        double along = 0.0;  // distance along the ray from its origin
        int face = 0;        // the face's number over the part
    };
    struct Ray {
        host::Point3 origin;
        host::Point3 direction;
    };

    Ray rayThrough(const ViewCamera& camera, double x, double y) const;
    // The first face along the ray no further than `until` from its origin.
    std::optional<Hit> firstHit(const Ray& ray, double until) const;
    bool hidden(const ViewCamera& camera, const host::Point3& p) const;
    std::optional<ViewPixel> nudgedPixel(const ViewCamera& camera, const host::Point3& p,
                                         const PickItem& item) const;
    std::vector<host::Point3> viewDirections(const PickItem& item) const;

    const HostSession& session_;
    const ViewTessellation& tessellation_;
    std::pair<host::Point3, host::Point3> box_;
    double tolerance_ = 0.0;  // how far behind the face in front a vertex or edge still shows
    std::unique_ptr<IntCurvesFace_ShapeIntersector> intersector_;
    TopTools_DataMapOfShapeInteger faceNumbers_;  // each face's number over the part
};

}  // namespace hostapp
