#pragma once
// The virtual trackball of the results window: a drag between two window points turns into a
// rotation quaternion (a sphere of radius 0.8 in normalised window coordinates, a hyperbolic sheet
// outside it); rotations are accumulated and renormalised every 97 additions so rounding cannot
// make the quaternion drift away from unit length.
#include <array>

namespace results {

using Quaternion = std::array<double, 4>;  // x, y, z, w
using Matrix16 = std::array<double, 16>;   // column by column, as OpenGL takes it

inline constexpr double kTrackballRadius = 0.8;
inline constexpr int kRenormaliseCount = 97;

// The rotation of a drag from (x1, y1) to (x2, y2), points in -1..1 (y up).
Quaternion dragRotation(double x1, double y1, double x2, double y2);

// The rotation matrix of a unit quaternion.
Matrix16 rotationMatrix(const Quaternion& q);

class Trackball {
  public:
    void resize(int width, int height);
    // Adds the rotation of a drag between two window pixels (y down).
    void drag(double fromX, double fromY, double toX, double toY);
    // Adds a rotation: q is applied after the current one.
    void add(const Quaternion& q);

    const Quaternion& rotation() const { return rotation_; }
    const Matrix16& matrix() const { return matrix_; }
    int additionsSinceRenormalising() const { return count_; }

  private:
    Quaternion rotation_{0, 0, 0, 1};
    Matrix16 matrix_ = rotationMatrix({0, 0, 0, 1});
    int count_ = 0;
    int width_ = 1;
    int height_ = 1;
};

}  // namespace results
