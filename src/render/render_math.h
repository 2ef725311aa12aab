#pragma once
// Vector helpers of the 3-D device: projecting a point to the screen and turning a normal.
#include "render/render_types.h"

namespace render {

// The screen position (x, y in pixels, z in the viewport's depth range) of `point` after the world,
// view and projection transforms.
Float3 projectPoint(const Float3& point, const Viewport& viewport, const Matrix4& projection,
                    const Matrix4& view, const Matrix4& world);

// `normal` turned by the upper 3 x 3 part of `matrix` (no translation).
Float3 transformNormal(const Float3& normal, const Matrix4& matrix);

// A left-handed perspective projection (depth 0 at `nearZ`, 1 at `farZ`) and a look-at view.
Matrix4 perspective(float fieldOfViewY, float aspect, float nearZ, float farZ);
Matrix4 lookAt(const Float3& eye, const Float3& at, const Float3& up);

}  // namespace render
