#include "physics/flow_conditions.h"

#include <set>
#include <stdexcept>

namespace tarvsolv {
namespace {

// Host faces that carry a restraint or a velocity or pressure load. A thermal condition alone
// (heat flux, convection, a held temperature) leaves a face open to the flow.
std::set<int> facesWithConditions(const Job& job) {
    std::set<int> faces;
    for (const Restraint& r : job.entries.restraints)
        if (r.where.kind == EntityRef::Kind::Face) faces.insert(r.where.first);
    for (const Load& load : job.entries.loads)
        if (load.where.kind == EntityRef::Kind::Face &&
            (load.kind == LoadKind::Pressure || load.kind == LoadKind::Velocity))
            faces.insert(load.where.first);
    return faces;
}

}  // namespace

// Velocities of every node of a solid element, and the pressures of the corners no fluid element
// has (their continuity rows are empty), held at 0.
void FlowConditions::holdSolids(const FlowBodies& bodies, RunLog& log) {
    if (!bodies.anySolid()) return;
    const FeMesh& mesh = job_.mesh;
    std::vector<char> inSolid(mesh.nodeCount(), 0);
    for (int e = 0; e < mesh.elementCount(); ++e)
        if (bodies.solid(e))
            for (int node : mesh.elementNodes(e)) inSolid[node] = 1;
    int held = 0;
    for (int node = 0; node < mesh.nodeCount(); ++node) {
        if (!inSolid[node]) continue;
        ++held;
        for (int a = 0; a < 3; ++a) layout_.hold(layout_.velocityDof(node, a), 0.0);
        if (layout_.isCorner(node) && !bodies.inFluid(node)) layout_.hold(layout_.pressureDof(node), 0.0);
    }
    log.line("solid bodies: the velocity held at 0 on " + std::to_string(held) + " nodes");
}

FlowConditions::FlowConditions(const Job& job, FlowLayout& layout, const FlowBodies& bodies, double time,
                               RunLog& log)
    : job_(job), layout_(layout) {
    // A solid, as a wall, holds the fluid at its face before any inlet that meets it.
    holdSolids(bodies, log);
    bool anyCondition = bodies.anySolid();  // a solid holds the fluid on the faces it shares
    // Walls first: where a wall meets an inlet, the fluid sticks to the wall.
    for (const Restraint& r : job.entries.restraints) {
        const std::vector<int> nodes = job.geometry->nodesOf(r.where);
        for (int node : nodes)
            for (int a = 0; a < 3; ++a)
                if (r.fixed[a]) layout.hold(layout.velocityDof(node, a), 0.0);
        const bool noSlip = r.fixed[0] && r.fixed[1] && r.fixed[2];
        log.line(std::string(noSlip ? "wall" : "slip wall") + " on " + r.where.describe() + ": " +
                 std::to_string(nodes.size()) + " nodes");
        if (r.where.kind == EntityRef::Kind::Face && !bodies.solidFace(r.where.first))
            walls_.push_back(r.where.first);
        anyCondition = true;
    }
    for (const Load& load : job.entries.loads) {
        if (load.kind == LoadKind::TotalPressure || load.kind == LoadKind::InitialState)
            throw std::runtime_error(
                "input line " + std::to_string(load.line) + ": " +
                (load.kind == LoadKind::TotalPressure ? "a total pressure and temperature"
                                                      : "an initial pressure and temperature") +
                " belongs to a compressible flow; an incompressible flow does not take it");
        if ((load.kind == LoadKind::Pressure || load.kind == LoadKind::Velocity) &&
            load.where.kind == EntityRef::Kind::Face && bodies.solidFace(load.where.first))
            throw std::runtime_error("input line " + std::to_string(load.line) + ": " +
                                     load.where.describe() +
                                     " is a face of a solid body (viscosity 0), in which nothing flows; "
                                     "a velocity or pressure acts on the faces of a fluid");
        if (load.kind == LoadKind::Pressure) {
            pressures_.push_back(&load);
            openings_.push_back(load.where.first);
            log.line("pressure " + load.values[0].text() + " on " + load.where.describe());
            anyCondition = true;
        } else if (load.kind == LoadKind::Velocity) {
            const std::vector<int> nodes = job.geometry->nodesOf(load.where);
            for (int node : nodes)
                for (int a = 0; a < 3; ++a) {
                    const int dof = layout.velocityDof(node, a);
                    if (layout.isHeld(dof)) continue;  // a wall's, or an earlier inlet's
                    layout.hold(dof, 0.0);
                    inlets_.push_back({dof, node, a, &load});
                }
            openings_.push_back(load.where.first);
            log.line("velocity " + load.values[0].text() + ", " + load.values[1].text() + ", " +
                     load.values[2].text() + " on " + load.where.describe() + ": " +
                     std::to_string(nodes.size()) + " nodes");
            anyCondition = true;
        }
    }
    if (!anyCondition)
        throw std::runtime_error(
            "incompressible flow: the model has no boundary condition at all; it needs walls (reactions), "
            "velocities or pressures on its faces");
    // A boundary face of a fluid with nothing on it is a free outlet at zero traction; a solid's
    // face with nothing on it is insulated, and a face two bodies share is inside the model.
    const std::set<int> conditioned = facesWithConditions(job);
    std::set<int> free;
    for (const Facet& facet : job.mesh.facets)
        if (!conditioned.count(facet.tag) && !bodies.solidFace(facet.tag) && !bodies.internalFace(facet.tag))
            free.insert(facet.tag);
    for (int face : free) log.line("free outlet (nothing on it): face " + std::to_string(face));
    openings_.insert(openings_.end(), free.begin(), free.end());
    if (pressures_.empty() && free.empty()) {
        // Every face holds the velocity: the pressure is known only up to a constant, fixed at the
        // lowest-numbered corner node of a fluid whose pressure is free (the mesh file's number, so
        // that a run whose nodes were renumbered for its processes fixes the same node).
        for (int node = 0; node < job.mesh.nodeCount(); ++node)
            if (layout.isCorner(node) && bodies.inFluid(node) && !layout.isHeld(layout.pressureDof(node)) &&
                (!pressureNode_ || job.mesh.fileNumber(node) < job.mesh.fileNumber(*pressureNode_)))
                pressureNode_ = node;
        if (pressureNode_) {
            layout.hold(layout.pressureDof(*pressureNode_), 0.0);
            log.line("no face is open: the pressure is fixed at node " +
                     std::to_string(job.mesh.fileNumber(*pressureNode_) + 1) +
                     "; it is known only up to a constant");
        }
    }
    holdInletsAt(time);
}

void FlowConditions::holdInletsAt(double time) {
    for (const HeldInlet& inlet : inlets_)
        layout_.setHeldValue(inlet.dof, inlet.load->values[inlet.component](
                                            EvalPoint{job_.mesh.node(inlet.node), time, kFluidTemperature}));
}

}  // namespace tarvsolv
