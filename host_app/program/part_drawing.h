#pragma once
// Draws the session's part through a 3-D device as the host view shows it: its faces shaded and
// lit from over the viewer's shoulder, its edges as lines in front of them, what is picked in the
// marked colour, then the reference planes and the design points over everything, so that they
// can be seen and picked wherever they lie. A frame's vertices go into one vertex buffer of the
// device, kept from frame to frame.
#include <cstddef>
#include <vector>

#include "platform/ref_ptr.h"
#include "render/render_device.h"

namespace hostapp {

class ViewScene;

// The light of the host view; the commands' drawing in the view is lit alike.
inline constexpr render::Light kViewLight{{-0.3f, 0.4f, -1.0f}, 0.4f, 0.65f};

class PartDrawing {
  public:
    explicit PartDrawing(platform::RefPtr<render::IRenderDevice> device);
    ~PartDrawing();
    PartDrawing(const PartDrawing&) = delete;
    PartDrawing& operator=(const PartDrawing&) = delete;

    // Draws the shown session's part with the view's camera; the device's viewport is the view's.
    void draw(ViewScene& scene);

  private:
    void upload(const std::vector<render::Vertex>& vertices);

    platform::RefPtr<render::IRenderDevice> device_;
    render::Handle buffer_ = 0;
    std::size_t capacity_ = 0;  // bytes of buffer_
};

}  // namespace hostapp
