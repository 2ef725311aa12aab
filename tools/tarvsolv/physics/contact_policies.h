#pragma once
// The choices an analysis makes about how gaps and contact behave in it, one enum per choice.

namespace tarvsolv {

// Whether the contact pairs stay those of the undeformed mesh (small displacements) or the
// analysis finds them again as the bodies move (large displacements), so that a point that faces
// nothing yet may still touch later.
enum class ContactPairing { KeptFromStart, FoundAgainAsBodiesMove };

// Whether an open gap holds a body. In statics it holds nothing: there is no equilibrium before the
// gap closes. In time a body moves until its gap closes, so there an open gap holds it too.
enum class OpenGaps { HoldNothing, Hold };

// Whether points touching at the start (and not moved away) add their penalty to the Newton
// tangent while no point of their face is closed. Statics needs them so that a body held only by a
// contact that has not closed yet gets a nonsingular system; time steps have the mass matrix and
// leave them out, so that the tangent is the residual's own.
enum class TouchingTangent { Stiffen, ClosedOnly };

}  // namespace tarvsolv
