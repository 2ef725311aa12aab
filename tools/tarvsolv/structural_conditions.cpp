#include "structural_conditions.h"

#include <cmath>
#include <map>

namespace tarvsolv {
namespace {

// A frame whose first axis is `d` (unit length).
Frame frameAlong(const Vec3& d) {
    const Vec3 helper = std::abs(d.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    const Vec3 t1 = normalized(cross(d, helper));
    const Vec3 t2 = cross(d, t1);
    return {d.x, d.y, d.z, t1.x, t1.y, t1.z, t2.x, t2.y, t2.z};
}

// Area-weighted outward normals of the nodes of a face.
std::map<int, Vec3> nodeNormals(const ModelGeometry& geometry, int face) {
    std::map<int, Vec3> normals;
    const FeMesh& mesh = geometry.mesh();
    for (const Facet& f : geometry.facetsOfFace(face)) {
        const std::vector<int> nodes = mesh.faceNodes(f.element, f.face);
        Vec3 sum;
        for (const BoundaryPoint& p : facePoints(mesh, f)) sum = sum + p.measure * p.normal;
        for (int n : nodes) normals[n] = normals[n] + sum;
    }
    for (auto& [node, n] : normals) n = normalized(n);
    return normals;
}

}  // namespace

void applyRestraints(const Job& job, DofLayout& layout, RunLog& log) {
    for (const Restraint& r : job.entries.restraints) {
        const std::vector<int> nodes = job.geometry->nodesOf(r.where);
        for (int n : nodes)
            for (int a = 0; a < 3; ++a)
                if (r.fixed[a]) layout.prescribe(3 * n + a, 0.0);
        log.line("restraint on " + r.where.describe() + ": " + std::to_string(nodes.size()) + " nodes");
    }
}

void applyConstraints(const Job& job, DofLayout& layout, bool zeroValues, RunLog& log) {
    for (const Constraint& c : job.entries.constraints) {
        const std::map<int, Vec3> normals = nodeNormals(*job.geometry, c.face);
        int skipped = 0;
        for (const auto& [node, normal] : normals) {
            const Vec3 d = c.kind == Constraint::Kind::NormalDisplacement ? normal : c.direction;
            const double value = zeroValues ? 0.0 : (*c.value)(EvalPoint{job.mesh.node(node)});
            // Along a coordinate axis the constraint is a plain prescribed displacement.
            int axis = -1;
            for (int a = 0; a < 3; ++a)
                if (std::abs(d[a]) > 1 - 1e-9) axis = a;
            if (axis >= 0) {
                if (!layout.prescribe(3 * node + axis, value * (d[axis] > 0 ? 1 : -1))) ++skipped;
                continue;
            }
            const bool restrained = layout.isPrescribed(3 * node) || layout.isPrescribed(3 * node + 1) || layout.isPrescribed(3 * node + 2);
            if (restrained || layout.frameOf(node)) {
                ++skipped;
                continue;
            }
            layout.setFrame(node, frameAlong(d));
            layout.prescribe(3 * node, value);
        }
        log.line(std::string(c.kind == Constraint::Kind::NormalDisplacement ? "normal displacement" : "displacement to plane") +
                 " on face " + std::to_string(c.face) + ": " + std::to_string(normals.size()) + " nodes");
        if (skipped)
            log.warning(std::to_string(skipped) + " node(s) of face " + std::to_string(c.face) +
                        " keep an earlier restraint or constraint instead (input line " + std::to_string(c.line) + ")");
    }
}

}  // namespace tarvsolv
