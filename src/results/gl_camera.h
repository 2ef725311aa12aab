#pragma once
// The camera of the results window: viewing distance, pan and the trackball rotation, moved by the
// mouse (the left button, alone or with the right, rotates; the right button alone zooms, the middle button
// pans, the wheel steps the distance), and the projection a point of the model lands on in the window.
#include <array>

#include "results/trackball.h"

namespace results {

inline constexpr double kFieldOfViewDegrees = 35.0;
inline constexpr double kNearPlane = 0.01;
inline constexpr double kFarPlane = 2000.0;
inline constexpr float kInitialDistance = 10.0f;

enum MouseButtons : unsigned { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// A point of the window, pixels from the top left, and its distance in front of the eye.
struct WindowPoint {
    double x = 0, y = 0;
    double depth = 0;
};

class GlCamera {
  public:
    void resize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }

    // A mouse move to (x, y) with `buttons` held; the last position is kept either way.
    void mouseMove(double x, double y, unsigned buttons);
    // A wheel notch: forward brings the model nearer.
    void wheel(bool forward);
    // Distance 10 and no pan; the rotation stays.
    void zoomToFit();

    float distance() const { return distance_; }
    float panX() const { return panX_; }
    float panY() const { return panY_; }
    const Trackball& trackball() const { return trackball_; }
    Trackball& trackball() { return trackball_; }

    // Translation (pan x, pan y, -distance) followed by the rotation, column by column.
    Matrix16 modelView() const;
    // The perspective projection (35 degrees vertical, near 0.01, far 2000), column by column.
    Matrix16 projection() const;
    // The eye's position in model coordinates.
    std::array<double, 3> eyeInModel() const;
    // Where a model point lands in the window (pixels, y down), as gluProject with this camera's
    // matrices and the whole window as viewport; false for a point behind the eye.
    bool project(const std::array<float, 3>& point, WindowPoint& out) const;

  private:
    Trackball trackball_;
    float distance_ = kInitialDistance;
    float panX_ = 0, panY_ = 0;
    float lastX_ = 0, lastY_ = 0;
    int width_ = 1, height_ = 1;
};

}  // namespace results
