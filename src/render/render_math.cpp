#include "render/render_math.h"

#include <cmath>

namespace render {
namespace {

Float3 sub(const Float3& a, const Float3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
float dot(const Float3& a, const Float3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Float3 cross(const Float3& a, const Float3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Float3 normalised(const Float3& a) {
    const float length = std::sqrt(dot(a, a));
    return length > 0 ? Float3{a.x / length, a.y / length, a.z / length} : a;
}

}  // namespace

Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += a.m[i][k] * b.m[k][j];
            r.m[i][j] = s;
        }
    return r;
}

Float3 projectPoint(const Float3& p, const Viewport& vp, const Matrix4& projection, const Matrix4& view,
                    const Matrix4& world) {
    const Matrix4 m = world * view * projection;
    float c[4];
    for (int j = 0; j < 4; ++j) c[j] = p.x * m.m[0][j] + p.y * m.m[1][j] + p.z * m.m[2][j] + m.m[3][j];
    if (c[3] != 0) {
        c[0] /= c[3];
        c[1] /= c[3];
        c[2] /= c[3];
    }
    return {vp.x + (1 + c[0]) * vp.width / 2.0f, vp.y + (1 - c[1]) * vp.height / 2.0f,
            vp.minZ + c[2] * (vp.maxZ - vp.minZ)};
}

Float3 transformNormal(const Float3& n, const Matrix4& m) {
    return {n.x * m.m[0][0] + n.y * m.m[1][0] + n.z * m.m[2][0],
            n.x * m.m[0][1] + n.y * m.m[1][1] + n.z * m.m[2][1],
            n.x * m.m[0][2] + n.y * m.m[1][2] + n.z * m.m[2][2]};
}

Matrix4 perspective(float fieldOfViewY, float aspect, float nearZ, float farZ) {
    const float yScale = 1.0f / std::tan(fieldOfViewY / 2);
    Matrix4 r;
    r.m[0][0] = yScale / aspect;
    r.m[1][1] = yScale;
    r.m[2][2] = farZ / (farZ - nearZ);
    r.m[2][3] = 1;
    r.m[3][2] = -nearZ * farZ / (farZ - nearZ);
    r.m[3][3] = 0;
    return r;
}

Matrix4 lookAt(const Float3& eye, const Float3& at, const Float3& up) {
    const Float3 z = normalised(sub(at, eye));
    const Float3 x = normalised(cross(up, z));
    const Float3 y = cross(z, x);
    Matrix4 r;
    r.m[0][0] = x.x, r.m[0][1] = y.x, r.m[0][2] = z.x;
    r.m[1][0] = x.y, r.m[1][1] = y.y, r.m[1][2] = z.y;
    r.m[2][0] = x.z, r.m[2][1] = y.z, r.m[2][2] = z.z;
    r.m[3][0] = -dot(x, eye), r.m[3][1] = -dot(y, eye), r.m[3][2] = -dot(z, eye);
    return r;
}

}  // namespace render
