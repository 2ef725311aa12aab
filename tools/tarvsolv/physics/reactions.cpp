#include "physics/reactions.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "base/agree_on_failure.h"
#include "fem/element_loop.h"
#include "linalg/linear_solvers.h"
#include "physics/elastic_assembly.h"

namespace tarvsolv {

namespace {

Vec3 nodeVector(const std::vector<double>& v, int n) {
    return {v[3 * static_cast<std::size_t>(n)], v[3 * static_cast<std::size_t>(n) + 1],
            v[3 * static_cast<std::size_t>(n) + 2]};
}

// The nodes whose forces one process holds and sums: first to end - 1, 3 values each from the
// start of its force arrays.
struct NodeRange {
    int first = 0, end = 0;
    bool holds(int n) const { return n >= first && n < end; }
    // The force of held node `n` in an array of the range's (empty: none).
    Vec3 at(const std::vector<double>& forces, int n) const {
        return forces.empty() ? Vec3{} : nodeVector(forces, n - first);
    }
};

// The centroid of the elements' volume (each element by its corners' tetrahedron).
Vec3 volumeCentroid(const FeMesh& mesh) {
    Vec3 sum;
    double volume = 0;
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        const Vec3 a = mesh.node(nodes[0]), b = mesh.node(nodes[1]), c = mesh.node(nodes[2]),
                   d = mesh.node(nodes[3]);
        const double v = std::abs(dot(b - a, cross(c - a, d - a))) / 6;
        sum = sum + (v / 4) * (a + b + c + d);
        volume += v;
    }
    return volume > 0 ? (1 / volume) * sum : sum;
}

bool holdsNode(const DofLayout& layout, int n) {
    return layout.isPrescribed(3 * n) || layout.isPrescribed(3 * n + 1) || layout.isPrescribed(3 * n + 2);
}

// The elements this process assembles that have a held node: only their forces reach the held
// nodes, so the reactions need no other element's stiffness.
std::vector<int> elementsAtHeldNodes(const FeMesh& mesh, const DofLayout& layout) {
    std::vector<int> elements;
    forEachAssembledElement(mesh, layout, [&](int e) {
        const auto nodes = mesh.elementNodes(e);
        if (std::any_of(nodes.begin(), nodes.end(), [&](int n) { return holdsNode(layout, n); }))
            elements.push_back(e);
    });
    return elements;
}

// The internal forces of `u` (global axes) less the applied loads, at this process's nodes of
// `layout`: complete at the held nodes (elsewhere only the elements at held nodes count); the
// applied loads at those nodes in `loads`.
std::vector<double> residualForces(const Job& job, const DofLayout& layout,
                                   const TemperatureField& temperatures, const std::vector<double>& u,
                                   std::vector<double>& loads) {
    const DofLayout free(job.mesh, 3, layout.comm());
    VecHandle residual = free.createVector(), applied = free.createVector();
    RunLog quiet("", false, false);
    const std::vector<int> elements = elementsAtHeldNodes(job.mesh, layout);
    SystemAssembler held(free, residual);  // takes the element loads less K u
    ElasticTargets targets;
    targets.stiffness = &held;
    targets.acceleration = accelerationField(job);
    targets.thermal = true;
    targets.displacements = &u;
    targets.elements = &elements;
    assembleElastic(job, free, temperatures, targets);
    held.finish();
    assembleBoundaryLoads(job, free, residual, quiet);
    TARV_PETSC(VecScale(residual, -1.0));
    assembleBodyLoads(job, free, temperatures, true, applied);
    assembleBoundaryLoads(job, free, applied, quiet);
    loads = ownEntries(applied);
    return ownEntries(residual);
}

std::string vectorText(const Vec3& v) {
    char text[96];
    std::snprintf(text, sizeof text, "(%.6g, %.6g, %.6g)", v.x, v.y, v.z);
    return text;
}

// A balance's sums over some nodes: the entries' forces and moments and the loads', and the loads'
// size and the model's extent, which the imbalance weighs by.
struct NodeSums {
    ReactionBalance balance;
    double size = 0, extent = 0;
};

// The loads' force and moment about the centroid, their size (the sum of the nodes' loads) and the
// largest arm, over the nodes of `range`.
template <typename ArmOf>
void addLoads(const std::vector<double>& loads, NodeRange range, const ArmOf& armOf, NodeSums& sums) {
    ReactionBalance& b = sums.balance;
    for (int n = range.first; n < range.end; ++n) {
        const Vec3 f = range.at(loads, n);
        b.loadForce = b.loadForce + f;
        b.loadMoment = b.loadMoment + cross(armOf(n), f);
        sums.size += norm(f);
        sums.extent = std::max(sums.extent, norm(armOf(n)));
    }
}

// Every process's sums added up (the extent the largest), on every process. Collective over `comm`.
void addUp(NodeSums& sums, MPI_Comm comm) {
    ReactionBalance& b = sums.balance;
    std::vector<double> all;
    const auto pack = [&](const Vec3& v) { all.insert(all.end(), {v.x, v.y, v.z}); };
    for (const EntryReaction& e : b.entries) pack(e.force), pack(e.moment);
    pack(b.loadForce), pack(b.loadMoment);
    all.push_back(sums.size);
    MPI_Allreduce(MPI_IN_PLACE, all.data(), static_cast<int>(all.size()), MPI_DOUBLE, MPI_SUM, comm);
    MPI_Allreduce(MPI_IN_PLACE, &sums.extent, 1, MPI_DOUBLE, MPI_MAX, comm);
    std::size_t at = 0;
    const auto unpack = [&] {
        at += 3;
        return Vec3{all[at - 3], all[at - 2], all[at - 1]};
    };
    for (EntryReaction& e : b.entries) e.force = unpack(), e.moment = unpack();
    b.loadForce = unpack(), b.loadMoment = unpack();
    sums.size = all[at];
}

// The balance of the model's sums: the reactions' sums, and the relative imbalance of loads and
// reactions, forces against the loads' size, moments against that size times the model's extent.
ReactionBalance balanced(NodeSums sums) {
    ReactionBalance& b = sums.balance;
    for (const EntryReaction& e : b.entries) {
        b.reactionForce = b.reactionForce + e.force;
        b.reactionMoment = b.reactionMoment + e.moment;
        sums.size = std::max(sums.size, norm(e.force));
    }
    if (sums.size > 0)
        b.imbalance = std::max(
            norm(b.reactionForce + b.loadForce) / sums.size,
            sums.extent > 0 ? norm(b.reactionMoment + b.loadMoment) / (sums.size * sums.extent) : 0.0);
    return std::move(b);
}

// The sums of balanceOf over the nodes of `range`, whose forces `supports`, `loads` and `planes`
// hold (3 per node from the range's first).
NodeSums sumsOver(const Job& job, const DofLayout& layout, NodeRange range,
                  const std::vector<double>& supports, const std::vector<double>& loads,
                  const std::vector<double>& positions, const std::vector<double>& planes) {
    NodeSums sums;
    ReactionBalance& b = sums.balance;
    b.centroid = volumeCentroid(job.mesh);
    const auto armOf = [&](int n) {
        return (positions.empty() ? job.mesh.node(n) : nodeVector(positions, n)) - b.centroid;
    };

    // Each node's force goes to the first entry that names it, as its conditions do: the held
    // nodes' residual to the restraints, the gap forces to the gaps.
    std::set<int> held, onPlanes;
    const auto addEntry = [&](const std::string& name, const std::vector<int>& nodes,
                              const std::vector<double>& forces, std::set<int>& claimed) {
        EntryReaction entry{name, {}, {}};
        for (int n : nodes) {
            if (!range.holds(n)) continue;
            const bool isHeld = holdsNode(layout, n);
            if ((&claimed == &held && !isHeld) || !claimed.insert(n).second) continue;
            entry.force = entry.force + range.at(forces, n);
            entry.moment = entry.moment + cross(armOf(n), range.at(forces, n));
        }
        b.entries.push_back(entry);
    };
    const auto faceRef = [](int face) {
        EntityRef ref;
        ref.kind = EntityRef::Kind::Face;
        ref.first = face;
        return ref;
    };
    for (const Restraint& restraint : job.entries.restraints)
        addEntry("restraint on " + restraint.where.describe(), job.geometry->nodesOf(restraint.where),
                 supports, held);
    for (const Constraint& c : job.entries.constraints)
        addEntry(std::string(c.kind == Constraint::Kind::NormalDisplacement ? "normal displacement"
                                                                            : "displacement to plane") +
                     " on " + faceRef(c.face).describe(),
                 job.geometry->nodesOf(faceRef(c.face)), supports, held);
    // Contact between bodies carries no load out of the model; gaps to rigid planes do.
    if (!planes.empty())
        for (const ContactEntry& c : job.entries.contacts)
            if (c.kind != ContactEntry::Kind::Interface)
                addEntry(
                    std::string(c.kind == ContactEntry::Kind::NormalGap ? "normal gap" : "gap to plane") +
                        " on " + faceRef(c.face).describe(),
                    job.geometry->nodesOf(faceRef(c.face)), planes, onPlanes);

    addLoads(loads, range, armOf, sums);
    return sums;
}

}  // namespace

ReactionBalance computeReactions(const Job& job, const DofLayout& layout,
                                 const TemperatureField& temperatures, const std::vector<double>& u) {
    std::vector<double> loads;
    const std::vector<double> r = residualForces(job, layout, temperatures, u, loads);
    // Each process sums its own nodes; a process that cannot stops all before the sums are added.
    NodeSums sums;
    agreeOnFailure(layout.comm(), [&] {
        sums = sumsOver(job, layout, {layout.firstNode(), layout.endNode()}, r, loads, {}, {});
    });
    addUp(sums, layout.comm());
    return balanced(std::move(sums));
}

ReactionBalance balanceOf(const Job& job, const DofLayout& layout, const std::vector<double>& r,
                          const std::vector<double>& loads, const std::vector<double>& positions,
                          const std::vector<double>& planes) {
    return balanced(sumsOver(job, layout, {0, job.mesh.nodeCount()}, r, loads, positions, planes));
}

std::vector<std::string> reactionTable(const ReactionBalance& b) {
    std::vector<std::string> lines{"reactions: force, then moment about the centroid " +
                                   vectorText(b.centroid)};
    for (const EntryReaction& e : b.entries)
        lines.push_back("  " + e.entry + ": " + vectorText(e.force) + ", " + vectorText(e.moment));
    lines.push_back("  sum of the reactions: " + vectorText(b.reactionForce) + ", " +
                    vectorText(b.reactionMoment));
    lines.push_back("  sum of the applied loads: " + vectorText(b.loadForce) + ", " +
                    vectorText(b.loadMoment));
    char text[200];
    std::snprintf(text, sizeof text, "  reactions and loads balance to %.2g of the loads", b.imbalance);
    lines.push_back(text);
    return lines;
}

void logReactions(const ReactionBalance& reactions, RunLog& log) {
    for (const std::string& line : reactionTable(reactions)) log.line(line);
    if (!reactions.balanced())
        log.warning(
            "the reactions do not balance the applied loads: the solution is not accurate (a solver "
            "tolerance too loose?) and should not be trusted");
}

}  // namespace tarvsolv
