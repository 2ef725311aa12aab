#pragma once
// Picking in the host's view as a person does it: what lies under a pixel (a vertex, design
// point, edge, reference plane or face). Faces are found along the pixel's line of sight by
// OpenCASCADE's intersection with the exact shape; vertices, edges, design points and plane
// frames by their distance on the screen, vertices and edges only where no face lies in front of
// them.
#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <TopTools_DataMapOfShapeInteger.hxx>

#include "documents/host_session.h"
#include "documents/pick_item.h"
#include "program/view_camera.h"
#include "program/view_tessellation.h"

class IntCurvesFace_ShapeIntersector;

namespace hostapp {

// The frame the view draws for the plane through the origin with normal `normal`: a square of
// 0.6 times the box's diagonal, centred where the box's middle projects onto the plane, corners in
// order around it. All four corners are the box's middle for a zero normal.
std::array<host::Point3, 4> planeFrame(const host::Point3& normal,
                                       const std::pair<host::Point3, host::Point3>& box);

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

  private:
    struct Hit {
        double along = 0.0;  // distance along the ray from its origin
        int face = 0;        // the face's number over the part
    };
    struct Ray {
        host::Point3 origin;
        host::Point3 direction;
    };
    // An item of the screen-distance kinds near the pixel: how far on the screen, how near the
    // viewer.
    struct Candidate {
        double distance = 0.0;
        double depth = 0.0;
        PickItem item;
    };
    using Candidates = std::vector<Candidate>;

    Ray rayThrough(const ViewCamera& camera, double x, double y) const;
    // The first face along the ray no further than `until` from its origin.
    std::optional<Hit> firstHit(const Ray& ray, double until) const;
    bool hidden(const ViewCamera& camera, const host::Point3& p) const;

    void addVertices(Candidates& to, const ViewCamera& camera, double x, double y) const;
    void addDesignPoints(Candidates& to, const ViewCamera& camera, double x, double y) const;
    void addEdges(Candidates& to, const ViewCamera& camera, double x, double y) const;
    void addPlanes(Candidates& to, const ViewCamera& camera, double x, double y) const;
    std::optional<PickItem> faceAt(const ViewCamera& camera, double x, double y) const;

    const HostSession& session_;
    const ViewTessellation& tessellation_;
    std::pair<host::Point3, host::Point3> box_;
    double tolerance_ = 0.0;  // how far behind the face in front a vertex or edge still shows
    std::unique_ptr<IntCurvesFace_ShapeIntersector> intersector_;
    TopTools_DataMapOfShapeInteger faceNumbers_;  // each face's number over the part
};

}  // namespace hostapp
