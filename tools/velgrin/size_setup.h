#pragma once
// Turns the mesher settings and the local sizes into Gmsh options, point sizes and size fields
// (the mapping is documented in README.md).
#include <string>
#include <vector>

#include "cad_model.h"
#include "entity_map.h"
#include "mesh_job.h"

namespace velgrin {

// The sizes of a run in the model's millimetres.
struct ModelSizes {
    double upper = 0;
    double lower = 0;
};

// Settings and local sizes are given in the display unit; `displayPerMillimetre` converts.
// Returns the sizes used; adds what the run log should say to `notes`. Throws VelgrinError
// (BadInput) when a local size names a face or edge the model does not have.
ModelSizes applySizes(const MeshJob& job, const CadModel& model, const EntityMap& map,
                      double displayPerMillimetre, std::vector<std::string>& notes);

// The grading slope: how fast the size may grow with distance from a local size (size per length).
double gradingSlope(double grading);

// Elements per full turn (2 pi) of curvature from the curve count and the fineness; 0 switches off.
int elementsPerTurn(int curveElements, double fineness);

// Gmsh's smoothing passes of the surface mesh: one per three surface steps, rounded up. On the
// bracket each pass beyond the first cost about half a second per 45,000 nodes and did not lift the
// worst element.
int smoothingPasses(int surfaceSteps);

}  // namespace velgrin
