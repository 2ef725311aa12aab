#define GL_GLEXT_PROTOTYPES 1
#include "render/gl/offscreen_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <stdexcept>

namespace render::gl {

OffscreenContext::OffscreenContext(int width, int height) : width_(width), height_(height) {
    auto getDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getDisplay == nullptr) throw std::runtime_error("EGL has no platform displays");
    EGLDisplay display = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        throw std::runtime_error("no surfaceless EGL display");
    display_ = display;
    eglBindAPI(EGL_OPENGL_API);
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) {
        eglTerminate(display);
        throw std::runtime_error("no OpenGL context");
    }
    context_ = context;
    makeCurrent();
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glGenRenderbuffers(1, &colour_);
    glGenRenderbuffers(1, &depth_);
    allocate();
}

void OffscreenContext::allocate() {
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width_, height_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        throw std::runtime_error("framebuffer incomplete");
}

void OffscreenContext::resize(int width, int height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    makeCurrent();
    allocate();
}

OffscreenContext::~OffscreenContext() {
    auto display = static_cast<EGLDisplay>(display_);
    makeCurrent();
    glDeleteRenderbuffers(1, &depth_);
    glDeleteRenderbuffers(1, &colour_);
    glDeleteFramebuffers(1, &framebuffer_);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, static_cast<EGLContext>(context_));
    // The display is shared by every context of the process: terminating it here would destroy the
    // contexts other devices and renderers still draw with.
}

void OffscreenContext::makeCurrent() {
    eglMakeCurrent(static_cast<EGLDisplay>(display_), EGL_NO_SURFACE, EGL_NO_SURFACE,
                   static_cast<EGLContext>(context_));
    if (framebuffer_) glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

}  // namespace render::gl
