#define GL_GLEXT_PROTOTYPES 1
#include "render/gl/gl_canvas.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

namespace render::gl {

namespace {
constexpr int kTextHeight = 13;  // pixels, the default font of a device context
constexpr int kCircleSegments = 32;
}  // namespace

GlCanvas::GlCanvas(int width, int height) : height_(height) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor3f(0, 0, 0);
}

const GlyphRasteriser* GlCanvas::glyphs() {
    // Loaded once: the view draws its overlays on every frame.
    static const std::unique_ptr<GlyphRasteriser> shared = []() -> std::unique_ptr<GlyphRasteriser> {
        try {
            return std::make_unique<GlyphRasteriser>(fontFileFor("", 400), kTextHeight);
        } catch (const std::runtime_error&) {
            return nullptr;  // without the font the marks are drawn and their texts left out
        }
    }();
    return shared.get();
}

GlCanvas::~GlCanvas() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

void GlCanvas::setPen(Colour colour, int width) {
    glColor3ub(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    glLineWidth(static_cast<float>(std::max(1, width)));
}

void GlCanvas::line(double x0, double y0, double x1, double y1) {
    glBegin(GL_LINES);
    glVertex2d(x0, y0);
    glVertex2d(x1, y1);
    glEnd();
}

void GlCanvas::circle(double x, double y, double radius) {
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < kCircleSegments; ++i) {
        const double a = 2 * M_PI * i / kCircleSegments;
        glVertex2d(x + radius * std::cos(a), y + radius * std::sin(a));
    }
    glEnd();
}

void GlCanvas::rectangle(double left, double top, double right, double bottom) {
    glBegin(GL_LINE_LOOP);
    glVertex2d(left, top);
    glVertex2d(right, top);
    glVertex2d(right, bottom);
    glVertex2d(left, bottom);
    glEnd();
}

void GlCanvas::text(double x, double y, const std::string& text) {
    const GlyphRasteriser* font = glyphs();
    if (font == nullptr || text.empty() || !std::isfinite(x) || !std::isfinite(y)) return;
    const TextBitmap bitmap = font->render(text);
    if (bitmap.width == 0) return;
    // Black with the glyph coverage as alpha, rows bottom-up for glDrawPixels.
    std::vector<unsigned char> rgba(static_cast<std::size_t>(bitmap.width) * bitmap.height * 4, 0);
    for (int row = 0; row < bitmap.height; ++row)
        for (int col = 0; col < bitmap.width; ++col)
            rgba[(static_cast<std::size_t>(bitmap.height - 1 - row) * bitmap.width + col) * 4 + 3] =
                bitmap.coverage[static_cast<std::size_t>(row) * bitmap.width + col];
    const int left = static_cast<int>(std::lround(x));
    const int bottom = height_ - (static_cast<int>(std::lround(y)) + bitmap.height);
    // Text that starts left of or below the window is clipped instead of being dropped whole.
    int skipX = left < 0 ? -left : 0, skipY = bottom < 0 ? -bottom : 0;
    if (skipX >= bitmap.width || skipY >= bitmap.height) return;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, bitmap.width);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, skipX);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, skipY);
    glWindowPos2i(left + skipX, bottom + skipY);
    glDrawPixels(bitmap.width - skipX, bitmap.height - skipY, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
}

}  // namespace render::gl
