#pragma once
// Curved quadratic elements near strongly curved faces can fold over (their Jacobian changes sign).
// Such elements are repaired by moving mid-side nodes back onto the straight edge between their
// corners: first the ones inside the body, then, if the element is still folded, the ones on the
// surface (which leaves that edge straight instead of on the curved face).
#include "tet_mesh.h"

namespace velgrin {

struct RepairReport {
    int invalidBefore = 0;         // elements with a non-positive Jacobian ratio before the repair
    int interiorStraightened = 0;  // mid-side nodes inside the body moved to their edge's middle
    int surfaceStraightened = 0;   // mid-side nodes on the surface moved likewise
    int invalidAfter = 0;          // elements still folded (the run fails when this is not 0)
};

// Elements whose Jacobian ratio falls to `threshold` or below count as folded.
RepairReport repairFoldedElements(TetMesh& mesh, double threshold = 1e-3);

}  // namespace velgrin
