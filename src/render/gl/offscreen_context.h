#pragma once
// An OpenGL context without a window: EGL on Mesa's surfaceless platform, drawing into a
// framebuffer object of a fixed size (RGBA colour and 24-bit depth).
#include <string>

namespace render::gl {

class OffscreenContext {
  public:
    // Throws std::runtime_error when no context can be made.
    OffscreenContext(int width, int height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    void makeCurrent();
    // Makes the framebuffer width x height; the context and what it holds (textures) stay.
    void resize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    void allocate();

    int width_;
    int height_;
    void* display_ = nullptr;
    void* context_ = nullptr;
    unsigned framebuffer_ = 0;
    unsigned colour_ = 0;
    unsigned depth_ = 0;
};

}  // namespace render::gl
