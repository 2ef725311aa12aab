#include "results/velocity_arrows.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "formats/mesh.h"
#include "results/slice_flags.h"

namespace results {
namespace {

struct Vec {
    double x = 0, y = 0, z = 0;
    Vec operator+(const Vec& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec operator-(const Vec& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec operator*(double s) const { return {x * s, y * s, z * s}; }
    double dot(const Vec& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec cross(const Vec& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    double length() const { return std::sqrt(dot(*this)); }
    Vec unit() const { return length() > 0 ? *this * (1 / length()) : Vec{}; }
};

Vec nodePoint(const mesh_solve::Mesh& mesh, std::int32_t node) {
    const auto c = mesh.coordinates();
    const std::size_t i = 3 * static_cast<std::size_t>(node - 1);
    return {c[i], c[i + 1], c[i + 2]};
}

Vec velocityOf(std::span<const double> velocities, std::int32_t node) {
    const std::size_t i = 3 * static_cast<std::size_t>(node - 1);
    if (i + 2 >= velocities.size()) return {};
    return {velocities[i], velocities[i + 1], velocities[i + 2]};
}

double boxDiagonal(const mesh_solve::Mesh& mesh) {
    const BoundingBox box = boundingBox(mesh);
    return Vec{box.high[0] - box.low[0], box.high[1] - box.low[1], box.high[2] - box.low[2]}.length();
}

double fastest(const mesh_solve::Mesh& mesh, std::span<const double> velocities) {
    double speed = 0;
    for (std::int32_t n = 1; n <= mesh.nodeCount(); ++n)
        speed = std::max(speed, velocityOf(velocities, n).length());
    return speed;
}

Vec elementCentre(const mesh_solve::Mesh& mesh, std::int32_t element) {
    Vec sum;
    const auto nodes = mesh.elementNodes(element);
    for (const std::int32_t node : nodes) sum = sum + nodePoint(mesh, node);
    return sum * (1.0 / static_cast<double>(nodes.size()));
}

// The normal of the triangle's vertex `v`, turned to point out of the triangle's element.
Vec outwardNormal(const mesh_solve::Mesh& mesh, const TriangleList& list, std::size_t v) {
    const std::size_t first = v - v % 3;
    const Vec faceCentre = (nodePoint(mesh, list.nodes[first]) + nodePoint(mesh, list.nodes[first + 1]) +
                            nodePoint(mesh, list.nodes[first + 2])) *
                           (1.0 / 3);
    const render::Float3& n = list.normals[v];
    const Vec normal{n.x, n.y, n.z};
    const Vec out = faceCentre - elementCentre(mesh, list.elements[v / 3]);
    return normal.dot(out) < 0 ? normal * -1 : normal;
}

// A unit vector across `u`, leaning towards `hint` where the two are not parallel.
Vec across(const Vec& u, const Vec& hint) {
    const Vec w = hint - u * hint.dot(u);
    if (w.length() > 1e-6 * hint.length() && w.length() > 0) return w.unit();
    const Vec axis = std::fabs(u.x) < 0.9 ? Vec{1, 0, 0} : Vec{0, 1, 0};
    return u.cross(axis).unit();
}

void addLine(std::vector<render::Float3>& lines, const Vec& a, const Vec& b) {
    for (const Vec& p : {a, b})
        lines.push_back({static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
}

}  // namespace

std::vector<render::Float3> velocityArrowLines(const mesh_solve::Mesh& mesh, const TriangleList& triangles,
                                               std::span<const double> velocities, double lengthFactor) {
    std::vector<render::Float3> lines;
    const double top = fastest(mesh, velocities);
    if (top <= 0 || !mesh.isLoaded() || lengthFactor <= 0) return lines;
    const double scale = kArrowLengthShare * boxDiagonal(mesh) / top;
    const std::string& elementStates = mesh.elementStates();
    std::vector<bool> drawn(static_cast<std::size_t>(mesh.nodeCount()) + 1, false);
    for (std::size_t v = 0; v < triangles.vertexCount(); ++v) {
        const std::int32_t node = triangles.nodes[v];
        const auto element = static_cast<std::size_t>(triangles.elements[v / 3]);
        if (node < 1 || node > mesh.nodeCount() || drawn[static_cast<std::size_t>(node)]) continue;
        if (element < elementStates.size() && elementStates[element] == kCutAway) continue;
        drawn[static_cast<std::size_t>(node)] = true;
        const Vec arrow = velocityOf(velocities, node) * scale;
        if (arrow.length() <= 0) continue;
        const Vec normal = outwardNormal(mesh, triangles, v);
        const Vec at = nodePoint(mesh, node);
        const bool entering = arrow.dot(normal) < 0;
        const Vec tail = entering ? at - arrow : at, tip = entering ? at : at + arrow;
        addLine(lines, tail * (1 / lengthFactor), tip * (1 / lengthFactor));
        const Vec u = arrow.unit(), side = across(u, normal), other = u.cross(side);
        const double head = kArrowHeadShare * arrow.length();
        const Vec back = tip - u * head;
        for (const Vec& w : {side, side * -1, other, other * -1})
            addLine(lines, tip * (1 / lengthFactor), (back + w * (0.4 * head)) * (1 / lengthFactor));
    }
    return lines;
}

}  // namespace results
