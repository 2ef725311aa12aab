#include "part_renderer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <BRepAdaptor_Curve.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRep_Tool.hxx>
#include <Poly_Triangulation.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

namespace hostapp {

namespace {

using host::Point3;

constexpr render::Colour kEdgeColour = 0x404040;

Point3 cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

render::Colour shade(double intensity) {
    // A light steel colour, darker where the face turns away from the viewer.
    const double r = 150, g = 172, b = 200;
    auto channel = [&](double c) {
        return static_cast<render::Colour>(std::clamp(c * intensity, 0.0, 255.0));
    };
    return channel(r) | (channel(g) << 8) | (channel(b) << 16);
}

double edgeFunction(const ViewPoint& a, const ViewPoint& b, double x, double y) {
    return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

void fillTriangle(RasterImage& image, const std::array<ViewPoint, 3>& v, render::Colour colour) {
    const double area = edgeFunction(v[0], v[1], v[2].x, v[2].y);
    if (std::abs(area) < 1e-12) return;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({v[0].x, v[1].x, v[2].x}))));
    const int x1 =
        std::min(image.width() - 1, static_cast<int>(std::ceil(std::max({v[0].x, v[1].x, v[2].x}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({v[0].y, v[1].y, v[2].y}))));
    const int y1 =
        std::min(image.height() - 1, static_cast<int>(std::ceil(std::max({v[0].y, v[1].y, v[2].y}))));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double w0 = edgeFunction(v[1], v[2], px, py) / area;
            const double w1 = edgeFunction(v[2], v[0], px, py) / area;
            const double w2 = 1.0 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            image.setIfNearer(x, y, w0 * v[0].depth + w1 * v[1].depth + w2 * v[2].depth, colour);
        }
    }
}

void drawFaces(const TopoDS_Shape& shape, const ViewCamera& camera, RasterImage& image) {
    const Point3 toward = camera.towardsViewer();
    for (TopExp_Explorer it(shape, TopAbs_FACE); it.More(); it.Next()) {
        const TopoDS_Face& face = TopoDS::Face(it.Current());
        TopLoc_Location location;
        const Handle(Poly_Triangulation) mesh = BRep_Tool::Triangulation(face, location);
        if (mesh.IsNull()) continue;
        const gp_Trsf transform = location.Transformation();
        for (int t = 1; t <= mesh->NbTriangles(); ++t) {
            int n[3];
            mesh->Triangle(t).Get(n[0], n[1], n[2]);
            std::array<Point3, 3> p;
            std::array<ViewPoint, 3> v;
            for (int k = 0; k < 3; ++k) {
                const gp_Pnt q = mesh->Node(n[k]).Transformed(transform);
                p[k] = {q.X(), q.Y(), q.Z()};
                v[k] = camera.project(p[k]);
            }
            Point3 normal = cross({p[1].x - p[0].x, p[1].y - p[0].y, p[1].z - p[0].z},
                                  {p[2].x - p[0].x, p[2].y - p[0].y, p[2].z - p[0].z});
            const double length = std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
            if (length <= 0) continue;
            // Both sides are lit alike, so the faces' orientation does not matter.
            const double facing =
                std::abs(normal.x * toward.x + normal.y * toward.y + normal.z * toward.z) / length;
            fillTriangle(image, v, shade(0.35 + 0.65 * facing));
        }
    }
}

void drawEdges(const TopoDS_Shape& shape, const ViewCamera& camera, RasterImage& image, double bias) {
    TopTools_IndexedMapOfShape edges;
    TopExp::MapShapes(shape, TopAbs_EDGE, edges);
    for (int i = 1; i <= edges.Extent(); ++i) {
        const TopoDS_Edge& edge = TopoDS::Edge(edges(i));
        if (BRep_Tool::Degenerated(edge)) continue;
        BRepAdaptor_Curve curve(edge);
        constexpr int kSamples = 48;
        ViewPoint previous{};
        for (int s = 0; s <= kSamples; ++s) {
            const double u =
                curve.FirstParameter() + (curve.LastParameter() - curve.FirstParameter()) * s / kSamples;
            const gp_Pnt q = curve.Value(u);
            const ViewPoint current = camera.project({q.X(), q.Y(), q.Z()});
            if (s > 0) {
                const double length =
                    std::max(std::abs(current.x - previous.x), std::abs(current.y - previous.y));
                const int steps = std::max(1, static_cast<int>(std::ceil(length)));
                for (int k = 0; k <= steps; ++k) {
                    const double t = static_cast<double>(k) / steps;
                    const int x = static_cast<int>(std::lround(previous.x + t * (current.x - previous.x)));
                    const int y = static_cast<int>(std::lround(previous.y + t * (current.y - previous.y)));
                    const double depth = previous.depth + t * (current.depth - previous.depth);
                    if (image.depthAt(x, y) <= depth + bias) image.set(x, y, kEdgeColour);
                }
            }
            previous = current;
        }
    }
}

}  // namespace

void renderPart(const OcctDocument& document, const ViewCamera& camera, RasterImage& image) {
    const TopoDS_Shape& shape = document.shape();
    if (shape.IsNull()) return;
    const auto box = document.boundingBox();
    const double dx = box.second.x - box.first.x, dy = box.second.y - box.first.y,
                 dz = box.second.z - box.first.z;
    const double size = std::max(1e-6, std::sqrt(dx * dx + dy * dy + dz * dz));
    BRepMesh_IncrementalMesh mesher(shape, 0.002 * size, false, 0.3, false);
    drawFaces(shape, camera, image);
    drawEdges(shape, camera, image, 0.01 * size);
}

}  // namespace hostapp
