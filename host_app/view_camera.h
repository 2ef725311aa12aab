#pragma once
// The host view's camera: an isometric look at the model's box, fitted into the view with a
// margin. It maps model points to view pixels (x to the right, y down) with a depth for hiding.
#include "host/geometry.h"
#include "render/render_types.h"

namespace hostapp {

struct ViewPoint {
    double x = 0.0;
    double y = 0.0;
    double depth = 0.0;  // larger is nearer the viewer
};

class ViewCamera {
  public:
    // Fits the box into a view of `width` x `height` pixels.
    void fit(const host::Point3& low, const host::Point3& high, int width, int height);

    ViewPoint project(const host::Point3& p) const;
    // The direction from the model towards the viewer (unit length).
    host::Point3 towardsViewer() const;
    // The same view for a 3-D device (row vectors, depth 0 nearest): view and projection.
    render::Matrix4 viewMatrix() const;
    render::Matrix4 projectionMatrix() const;
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    // Screen axes in model space: right, up and towards the viewer.
    host::Point3 right_{0.7071067811865476, -0.7071067811865476, 0.0};
    host::Point3 up_{-0.4082482904638631, -0.4082482904638631, 0.8164965809277261};
    host::Point3 toward_{0.5773502691896258, 0.5773502691896258, 0.5773502691896258};
    host::Point3 centre_{};
    double scale_ = 1.0;
    double depthRange_ = 1.0;  // view depths lie within +- this
    int width_ = 800;
    int height_ = 600;
};

}  // namespace hostapp
