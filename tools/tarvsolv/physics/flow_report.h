#pragma once
// What a flow field gives the engineer beyond the nodal values: the vorticity at the nodes, and
// per host face the force of the fluid on it (pressure and viscous parts) and the flow through it,
// with the log's table of forces on the walls, flows through the openings and the mass balance.
#include <string>
#include <vector>

#include "fem/fe_mesh.h"
#include "fem/vec3.h"
#include "io/run_log.h"
#include "physics/model_geometry.h"
#include "physics/unit_system.h"

namespace tarvsolv {

// The curl of the velocity (3 per node) at every node, the mean over the elements that share the
// node of each element's own curl there.
std::vector<double> nodalVorticity(const FeMesh& mesh, const std::vector<double>& velocity);

struct FaceFlow {
    int face = 0;          // host face number
    Vec3 pressureForce;    // force of the fluid's pressure on the face
    Vec3 viscousForce;     // force of the fluid's viscous stress on the face
    double flowRate = 0;   // volume per time through the face, out of the fluid positive
    double speedRate = 0;  // integral of |u| over the face: the scale of its flow rate's round-off
};

// Per host face of `faces`: the forces of the fluid on it, the integral of p n and of
// -mu (grad u + grad u^T) n, and its flow rate, the integral of u.n, with n the fluid's outward
// normal. `velocity` holds 3 values per node, `pressure` 1 per node (read at the corners, as the
// pressure is linear), `viscosity` 1 per element. Throws std::runtime_error for a face that has no
// facets in the mesh.
std::vector<FaceFlow> faceFlows(const ModelGeometry& geometry, const std::vector<int>& faces,
                                const std::vector<double>& velocity, const std::vector<double>& pressure,
                                const std::vector<double>& viscosity);

// The totals of the openings: what flows in, what flows out, and the relative imbalance
// (in - out) / in (0 when nothing flows in). A face whose flow rate is round-off of its speed rate
// (fluid moving along it, as under a sliding lid) counts as neither in nor out.
struct MassBalance {
    double in = 0, out = 0, imbalance = 0;
};
MassBalance massBalance(const std::vector<FaceFlow>& openings);
// The log's line of the balance of `openings`: "  in A, out B, (in - out) / in = C".
std::string massBalanceLine(const std::vector<FaceFlow>& openings);

// The log's lines: the force on every wall face (pressure, viscous, total: x y z), the flow rate
// through every opening (in or out), then the mass balance.
std::vector<std::string> flowReportTable(const std::vector<FaceFlow>& walls,
                                         const std::vector<FaceFlow>& openings, const UnitSystem& units);
void logFlowReport(RunLog& log, const std::vector<FaceFlow>& walls, const std::vector<FaceFlow>& openings,
                   const UnitSystem& units);

}  // namespace tarvsolv
