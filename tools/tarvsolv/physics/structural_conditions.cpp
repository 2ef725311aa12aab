#include "physics/structural_conditions.h"

#include <cmath>
#include <map>

namespace tarvsolv {
namespace {

struct NodeCondition {
    Vec3 direction;  // unit
    double value = 0;
};

// Area-weighted outward normals of the nodes of a face.
std::map<int, Vec3> nodeNormals(const ModelGeometry& geometry, int face) {
    std::map<int, Vec3> normals;
    const FeMesh& mesh = geometry.mesh();
    for (const Facet& f : geometry.facetsOfFace(face)) {
        Vec3 sum;
        for (const BoundaryPoint& p : facePoints(mesh, f)) sum = sum + p.measure * p.normal;
        for (int n : mesh.faceNodes(f.element, f.face)) normals[n] = normals[n] + sum;
    }
    for (auto& [node, n] : normals) n = normalized(n);
    return normals;
}

// Adds a condition unless the node already holds one along the same direction (the first stays)
// or the new direction is oblique to an earlier one; answers false when it was passed over for
// obliquity or a differing value.
bool addCondition(std::vector<NodeCondition>& list, const Vec3& d, double value) {
    for (const NodeCondition& c : list) {
        const double cosine = dot(c.direction, d);
        if (std::abs(std::abs(cosine) - 1) < 1e-9)
            return c.value * cosine == value ||
                   std::abs(c.value * cosine - value) < 1e-12 * (1 + std::abs(value));
        if (std::abs(cosine) > 1e-9) return false;
    }
    if (list.size() < 3) list.push_back({d, value});
    return true;
}

Vec3 axis(int a) {
    return {a == 0 ? 1.0 : 0.0, a == 1 ? 1.0 : 0.0, a == 2 ? 1.0 : 0.0};
}

int axisOf(const Vec3& d) {
    for (int a = 0; a < 3; ++a)
        if (std::abs(d[a]) > 1 - 1e-12) return a;
    return -1;
}

void prescribeNode(DofLayout& layout, int node, const std::vector<NodeCondition>& list) {
    bool alongAxes = true;
    for (const NodeCondition& c : list) alongAxes = alongAxes && axisOf(c.direction) >= 0;
    if (alongAxes) {
        for (const NodeCondition& c : list) {
            const int a = axisOf(c.direction);
            layout.prescribe(3 * node + a, c.value * (c.direction[a] > 0 ? 1 : -1));
        }
        return;
    }
    // Frame: the directions in order, completed to a right-handed orthonormal basis.
    Vec3 axes[3];
    for (std::size_t k = 0; k < list.size(); ++k) axes[k] = list[k].direction;
    if (list.size() == 1) {
        const Vec3 helper = std::abs(axes[0].x) < 0.9 ? axis(0) : axis(1);
        axes[1] = normalized(cross(axes[0], helper));
    }
    if (list.size() <= 2) axes[2] = cross(axes[0], axes[1]);
    layout.setFrame(node, {axes[0].x, axes[0].y, axes[0].z, axes[1].x, axes[1].y, axes[1].z, axes[2].x,
                           axes[2].y, axes[2].z});
    for (std::size_t k = 0; k < list.size(); ++k)
        layout.prescribe(3 * node + static_cast<int>(k), list[k].value);
}

}  // namespace

bool displacementsFollowTime(const Job& job) {
    for (const Constraint& c : job.entries.constraints)
        if (c.value && !c.value->isConstant()) return true;
    return false;
}

void applyDisplacementConditions(const Job& job, DofLayout& layout, bool zeroValues, RunLog& log,
                                 double time) {
    std::map<int, std::vector<NodeCondition>> conditions;
    for (const Restraint& r : job.entries.restraints) {
        const std::vector<int> nodes = job.geometry->nodesOf(r.where);
        for (int n : nodes)
            for (int a = 0; a < 3; ++a)
                if (r.fixed[a]) addCondition(conditions[n], axis(a), 0.0);
        log.line("restraint on " + r.where.describe() + ": " + std::to_string(nodes.size()) + " nodes");
    }
    for (const Constraint& c : job.entries.constraints) {
        const std::map<int, Vec3> normals = nodeNormals(*job.geometry, c.face);
        int passedOver = 0;
        for (const auto& [node, normal] : normals) {
            const Vec3 d = c.kind == Constraint::Kind::NormalDisplacement ? normal : c.direction;
            const double value = zeroValues ? 0.0 : (*c.value)(EvalPoint{job.mesh.node(node), time});
            if (!addCondition(conditions[node], d, value)) ++passedOver;
        }
        log.line(std::string(c.kind == Constraint::Kind::NormalDisplacement ? "normal displacement"
                                                                            : "displacement to plane") +
                 " on face " + std::to_string(c.face) + ": " + std::to_string(normals.size()) + " nodes");
        if (passedOver)
            log.warning(std::to_string(passedOver) + " node(s) of face " + std::to_string(c.face) +
                        " already hold a condition along another direction and keep it (input line " +
                        std::to_string(c.line) + ")");
    }
    for (const auto& [node, list] : conditions) prescribeNode(layout, node, list);
}

}  // namespace tarvsolv
