#pragma once
// What a flow's results add up to: the vorticity at the nodes, the fluid's force on faces and the
// flow rate through them, and the log's report of walls, openings and the mass balance.
#include <vector>

#include "fem/fe_mesh.h"
#include "fem/vec3.h"
#include "io/run_log.h"
#include "physics/model_geometry.h"
#include "physics/unit_system.h"

namespace tarvsolv {

// 3 per node: the curl of the P2 velocity (3 per node), averaged at the nodes over the elements.
std::vector<double> nodalVorticity(const FeMesh& mesh, const std::vector<double>& velocity);

struct FaceFlow {
    int face = 0;
    Vec3 pressureForce, viscousForce;  // of the fluid on the face
    double flowRate = 0;               // out of the fluid through the face
};

std::vector<FaceFlow> faceFlows(const ModelGeometry& geometry, const std::vector<int>& faces,
                                const std::vector<double>& velocity,    // 3 per node
                                const std::vector<double>& pressure,    // 1 per node
                                const std::vector<double>& viscosity);  // per element

void logFlowReport(RunLog& log, const std::vector<FaceFlow>& walls, const std::vector<FaceFlow>& openings,
                   const UnitSystem& units);

}  // namespace tarvsolv
