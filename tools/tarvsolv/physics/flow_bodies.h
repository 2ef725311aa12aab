#pragma once
// The bodies of a flow and the faces they share. In a flow that carries heat a body whose dynamic
// viscosity is 0 is a solid: heat conducts through it and nothing flows in it. Bodies meshed
// together share the nodes of their common face, and the mesh has a facet on each side of it, each
// tagged with its own body's host face: such faces are internal, never openings of the flow.
#include <string>
#include <vector>

#include "physics/job.h"

namespace tarvsolv {

// The faces two bodies share, and the nodes on them.
struct SharedFaces {
    int first = 0, second = 0;                 // the body numbers, first < second
    std::vector<int> firstFaces, secondFaces;  // host faces of each side
    std::vector<int> nodes;                    // ascending
    // The body whose elements measure the heat through the faces: the solid (the first when both
    // or neither are).
    int measuredFrom = 0;
};

class FlowBodies {
  public:
    // Finds the solid elements (only when `carriesHeat`: a flow without heat refuses a viscosity of
    // 0 through its materials) and the shared faces, and logs which body is which. Throws
    // std::runtime_error for a flow that carries heat without a fluid body, and for a body whose
    // viscosity is 0 in part of it only.
    FlowBodies(const Job& job, bool carriesHeat, RunLog& log);

    bool solid(int element) const { return solid_[element] != 0; }
    bool anySolid() const { return anySolid_; }
    // Whether a node is a node of a fluid element.
    bool inFluid(int node) const { return inFluid_[node] != 0; }
    // Host faces of solid elements, and faces every facet of which lies against another body.
    bool solidFace(int face) const;
    bool internalFace(int face) const;
    const std::vector<SharedFaces>& shared() const { return shared_; }
    // "faces 6/11" of a pair.
    static std::string describe(const SharedFaces& pair);

  private:
    const Job& job_;
    std::vector<char> solid_, inFluid_;
    std::vector<char> internal_;  // per host face number
    bool anySolid_ = false;
    std::vector<SharedFaces> shared_;
};

}  // namespace tarvsolv
