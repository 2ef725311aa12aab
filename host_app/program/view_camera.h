#pragma once
// The host view's camera: a parallel projection of the model onto the view, looking along one of
// the standard directions or wherever the person turned it. It maps model points to view pixels
// (x to the right, y down) with a depth for hiding, and pixels back to rays for picking. The same
// camera gives the command site's projection and the 3-D device's matrices, so what commands draw
// lines up with the part.
#include "host/geometry.h"
#include "render/render_types.h"

namespace hostapp {

struct ViewPoint {
    double x = 0.0;
    double y = 0.0;
    double depth = 0.0;  // larger is nearer the viewer
};

// A line of sight through a pixel: from in front of the whole model towards it.
struct ViewRay {
    host::Point3 origin;
    host::Point3 direction;  // unit length, away from the viewer
};

enum class StandardView { Iso, Front, Top, Right };

// The add-on draws its contour legend over the left of the graphics area: the part is fitted into
// the rest of the view, and a script's pick is not offered a pixel there, where the legend may
// stand over the part.
inline constexpr int kAddOnStripWidth = 120;

// One notch of the mouse wheel scales the view by this.
inline constexpr double kWheelZoom = 1.2;

class ViewCamera {
  public:
    // Pixels at the view's right that windows over it (a command's dialog) cover: fitting frames the
    // part between the add-on's strip and them. 0 unless set.
    void setCoveredRight(int pixels) { coveredRight_ = pixels; }
    // Fits the box into a view of `width` x `height` pixels, keeping the direction of view.
    void fit(const host::Point3& low, const host::Point3& high, int width, int height);
    // A new view size; the model keeps its scale and the view's middle stays on the same point.
    void resize(int width, int height);
    // Looks along a standard direction (the box must be fitted again to frame the model).
    void setStandardView(StandardView view);
    // Turns the model as a drag of (dx, dy) pixels does: about the view's vertical axis for dx and
    // its horizontal axis for dy, around the middle of the fitted box, which keeps its pixel.
    void rotate(double dx, double dy);
    // Moves the picture by (dx, dy) pixels.
    void pan(double dx, double dy);
    // Scales the picture by `factor` about the pixel (x, y), which keeps its model point.
    void zoom(double factor, double x, double y);
    // Whether the person moved the view since the last fit (a new size then keeps the view).
    bool moved() const { return moved_; }

    ViewPoint project(const host::Point3& p) const;
    ViewRay rayAt(double x, double y) const;
    // The direction from the model towards the viewer (unit length).
    host::Point3 towardsViewer() const;
    host::Point3 right() const { return right_; }
    host::Point3 up() const { return up_; }
    // View pixels per model unit.
    double scale() const { return scale_; }
    // The same view for a 3-D device (row vectors, depth 0 nearest): view and projection.
    render::Matrix4 viewMatrix() const;
    render::Matrix4 projectionMatrix() const;
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    void setAxes(const host::Point3& right, const host::Point3& up);

    // Screen axes in model space: right, up and towards the viewer (right-handed, the iso view).
    host::Point3 right_{-0.7071067811865476, 0.7071067811865476, 0.0};
    host::Point3 up_{-0.4082482904638631, -0.4082482904638631, 0.8164965809277261};
    host::Point3 toward_{0.5773502691896258, 0.5773502691896258, 0.5773502691896258};
    host::Point3 centre_{};  // the model point at the view's middle
    host::Point3 pivot_{};   // the middle of the fitted box: turning keeps it in place
    double radius_ = 1.0;    // half the fitted box's diagonal
    double scale_ = 1.0;
    int width_ = 800;
    int height_ = 600;
    int coveredRight_ = 0;
    bool moved_ = false;
};

}  // namespace hostapp
