#pragma once
// Plain values the host hands over: points, boxes, transformations and persistent keys.
#include <cstdint>
#include <vector>

namespace host {

struct Point3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    friend bool operator==(const Point3&, const Point3&) = default;
};

// The host's persistent identifier of a body or entity: opaque bytes, compared bytewise.
using KeyBytes = std::vector<std::uint8_t>;

// Affine map of the part into the assembly / world: p' = R p + t, row-major 3x4.
struct Transform {
    double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    Point3 apply(const Point3& p) const {
        return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
                m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
                m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
    }
};

// Session kinds: 2 is a part session, anything else an assembly session.
inline constexpr std::int32_t kPartSessionKind = 2;
inline constexpr std::int32_t kAssemblySessionKind = 3;

// Length unit codes of the design session.
enum LengthUnit : std::int32_t { kUnitMm = 200, kUnitCm = 201, kUnitM = 202, kUnitIn = 203, kUnitFt = 204 };

// Surface kinds of faces that carry an axis.
enum SurfaceKind : std::int32_t {
    kSurfacePlane = 1,
    kSurfaceOther = 0,
    kSurfaceCylinder = 8,
    kSurfaceCone = 9,
    kSurfaceRevolution = 11,
};

}  // namespace host
