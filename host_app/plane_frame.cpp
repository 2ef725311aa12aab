#include "plane_frame.h"

#include <cmath>

namespace hostapp {

using host::Point3;

std::array<Point3, 4> planeFrame(const Point3& normal, const Point3& low, const Point3& high) {
    const Point3 centre{(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
    const double length = std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
    if (!(length > 0)) return {centre, centre, centre, centre};
    const Point3 n{normal.x / length, normal.y / length, normal.z / length};
    const double d = centre.x * n.x + centre.y * n.y + centre.z * n.z;
    const Point3 onPlane{centre.x - d * n.x, centre.y - d * n.y, centre.z - d * n.z};
    // Two directions in the plane: the axis least along the normal, made square to it, and a third.
    Point3 axis = std::abs(n.x) < 0.9 ? Point3{1, 0, 0} : Point3{0, 1, 0};
    const double along = axis.x * n.x + axis.y * n.y + axis.z * n.z;
    Point3 u{axis.x - along * n.x, axis.y - along * n.y, axis.z - along * n.z};
    const double ul = std::sqrt(u.x * u.x + u.y * u.y + u.z * u.z);
    u = {u.x / ul, u.y / ul, u.z / ul};
    const Point3 v{n.y * u.z - n.z * u.y, n.z * u.x - n.x * u.z, n.x * u.y - n.y * u.x};
    const double dx = high.x - low.x, dy = high.y - low.y, dz = high.z - low.z;
    const double half = 0.3 * std::sqrt(dx * dx + dy * dy + dz * dz);
    auto corner = [&](double a, double b) {
        return Point3{onPlane.x + half * (a * u.x + b * v.x), onPlane.y + half * (a * u.y + b * v.y),
                      onPlane.z + half * (a * u.z + b * v.z)};
    };
    return {corner(-1, -1), corner(1, -1), corner(1, 1), corner(-1, 1)};
}

}  // namespace hostapp
