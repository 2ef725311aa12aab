#pragma once
// What the user picked in the host view, as the model-definition commands need it: the session's
// selection, and each picked object classified as a face, edge, vertex, design point or plane with
// the persistent keys an entry stores.
//
//   auto selection = addon::PickedSelection::of(explorer->sessionName(), filter);
//   if (selection.count() < 1) { ui::showMessage("Select a face"); return; }
//   for (int i = 0; i < selection.count(); ++i) {
//       const addon::PickedEntity pick = selection.classify(i, explorer->isPartSession());
//       if (!pick.usable()) continue;  // not a known kind, or not found among its body's entities
//       explorer->addEntry(pick.bodyKey, pick.entityKey, text, kind);
//   }
#include <cstdint>
#include <string>

#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

namespace addon {

enum class PickKind { None, Face, Edge, Vertex, DesignPoint, Plane };

struct PickedEntity {
    PickKind kind = PickKind::None;
    host::KeyBytes entityKey;  // empty for design points and planes
    host::KeyBytes bodyKey;    // filled in part sessions only
    // Position (from 0) among the faces, edges or vertices of the entity's body in the host's
    // order; for a design point its number less one; 0 for a plane; -1 when not found.
    int index = -1;
    std::int32_t pointNumber = 0;            // design points, counted from 1
    platform::RefPtr<host::IQDPlane> plane;  // planes
    platform::RefPtr<host::IQDFace> face;    // faces: their surface kind and axis

    // A known kind that was found: the commands skip every other pick without a message.
    bool usable() const { return kind != PickKind::None && index >= 0; }
    bool isEntity() const {
        return kind == PickKind::Face || kind == PickKind::Edge || kind == PickKind::Vertex;
    }
};

// Classifies the geometric object behind `picked`. Any host failure on the way makes the pick
// unknown (kind None): one bad pick must not stop the others. In a part session the body's key
// is read too.
PickedEntity classifyPick(host::IQDPickedObject* picked, bool partSession);

// The selection of one host session. The count is asked once, with the calling command's filter;
// a count below 1 reads as 0. The selection is released when this object goes.
class PickedSelection {
  public:
    // Throws HostError when the session or its selection cannot be had.
    static PickedSelection of(const std::string& sessionName, std::int32_t filter);

    int count() const { return count_; }
    // Pick `index` (from 0) classified; an item the host cannot give is unknown.
    PickedEntity classify(int index, bool partSession) const;
    // The first pick whose geometric object is a plane, or null.
    platform::RefPtr<host::IQDPlane> firstPlane() const;
    // Empties the selection and gives it back to the session: how a command ends its picking.
    // Throws HostError when the host refuses either.
    void resetAndHandBack() const;

  private:
    platform::RefPtr<host::IQDPickedObject> item(int index) const;

    platform::RefPtr<host::IQDSelection> selection_;
    int count_ = 0;
};

// The three components of a plane, read with the host's three accessors in order.
struct PlaneValues {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
};
// Throws HostError when the plane does not give them.
PlaneValues readPlaneValues(host::IQDPlane& plane);

}  // namespace addon
