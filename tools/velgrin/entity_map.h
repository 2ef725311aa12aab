#pragma once
// The link between the host's numbers (CadModel) and the tags of the same entities in the Gmsh model
// imported from the same shape. Every entity is matched by its geometry (centre of mass and size, or
// position for vertices) among the Gmsh entities that bound the same body, so the link holds whatever
// order Gmsh binds the shapes in, and coincident faces of touching bodies stay apart.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "cad_model.h"

namespace velgrin {

class EntityMap {
  public:
    // Matches every body, face, edge and vertex of `model` in the current Gmsh model. Throws
    // VelgrinError (BadModel) when a body or face has no counterpart; edges and vertices without one
    // (degenerate edges at poles) are left at tag 0 and listed in unmatched().
    static EntityMap build(const CadModel& model);

    int volumeOfBody(int body) const { return volumes_.at(body - 1); }      // body from 1
    int surfaceOfFace(int face) const { return surfaces_.at(face - 1); }    // host face from 1
    int curveOfEdge(int edge) const { return curves_.at(edge - 1); }        // host edge from 1
    int pointOfVertex(int vertex) const { return points_.at(vertex - 1); }  // host vertex from 1

    // The host face number of Gmsh surface `surface` as a face of Gmsh volume `volume`; 0 when none.
    int hostFace(int volume, int surface) const;

    // How many entities were found at Gmsh's own index (the usual case) and how many by search.
    int matchedInPlace() const { return inPlace_; }
    int matchedBySearch() const { return bySearch_; }
    const std::vector<std::string>& unmatched() const { return unmatched_; }

  private:
    std::vector<int> volumes_, surfaces_, curves_, points_;
    std::map<std::pair<int, int>, int> hostFaces_;
    int inPlace_ = 0;
    int bySearch_ = 0;
    std::vector<std::string> unmatched_;
    friend class EntityMatcher;
};

}  // namespace velgrin
