#include "program/raster_canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>

namespace hostapp {

namespace {
constexpr const char* kFontPaths[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/TTF/DejaVuSans.ttf",
};
constexpr int kTextPixels = 13;
}  // namespace

// Draws text with FreeType; without the library or a font, text is left out.
class GlyphRenderer {
  public:
    GlyphRenderer() {
        if (FT_Init_FreeType(&library_) != 0) return;
        for (const char* path : kFontPaths) {
            if (std::filesystem::exists(path) && FT_New_Face(library_, path, 0, &face_) == 0) break;
        }
        setPixelSize(kTextPixels);
    }
    ~GlyphRenderer() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }

    void setPixelSize(int pixels) {
        pixels_ = pixels;
        if (face_ != nullptr) FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels));
    }

    void draw(RasterImage& image, double x, double y, const std::string& text, render::Colour colour) {
        if (face_ == nullptr) return;
        int penX = static_cast<int>(std::lround(x));
        const int baseline = static_cast<int>(std::lround(y)) + pixels_;
        for (unsigned char c : text) {
            if (FT_Load_Char(face_, c, FT_LOAD_RENDER) != 0) continue;
            const FT_GlyphSlot g = face_->glyph;
            for (unsigned row = 0; row < g->bitmap.rows; ++row) {
                for (unsigned col = 0; col < g->bitmap.width; ++col) {
                    const unsigned char coverage = g->bitmap.buffer[row * g->bitmap.pitch + col];
                    if (coverage < 96) continue;  // no blending: keep the picture's colours exact
                    image.set(penX + g->bitmap_left + static_cast<int>(col),
                              baseline - g->bitmap_top + static_cast<int>(row), colour);
                }
            }
            penX += static_cast<int>(g->advance.x >> 6);
        }
    }

  private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    int pixels_ = kTextPixels;
};

RasterCanvas::RasterCanvas(RasterImage& image) : image_(image), glyphs_(std::make_unique<GlyphRenderer>()) {}
RasterCanvas::~RasterCanvas() = default;

void RasterCanvas::setPen(render::Colour colour, int width) {
    colour_ = colour;
    width_ = std::clamp(width, 1, 32);
}

void RasterCanvas::dot(int x, int y) {
    const int low = -(width_ - 1) / 2;
    for (int dy = low; dy < low + width_; ++dy)
        for (int dx = low; dx < low + width_; ++dx) image_.set(x + dx, y + dy, colour_);
}

void RasterCanvas::line(double x0, double y0, double x1, double y1) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return;
    // Clamp far-away ends so that a wild projection cannot make the loop run for ever.
    const double limit = 8.0 * std::max(image_.width(), image_.height());
    auto clamp = [&](double v) { return std::clamp(v, -limit, limit); };
    x0 = clamp(x0), y0 = clamp(y0), x1 = clamp(x1), y1 = clamp(y1);
    const double length = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    const int steps = std::max(1, static_cast<int>(std::ceil(length)));
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        dot(static_cast<int>(std::lround(x0 + t * (x1 - x0))),
            static_cast<int>(std::lround(y0 + t * (y1 - y0))));
    }
}

void RasterCanvas::circle(double x, double y, double radius) {
    const int segments = std::clamp(static_cast<int>(radius * 2), 12, 256);
    for (int i = 0; i < segments; ++i) {
        const double a0 = 2 * std::numbers::pi * i / segments;
        const double a1 = 2 * std::numbers::pi * (i + 1) / segments;
        line(x + radius * std::cos(a0), y + radius * std::sin(a0), x + radius * std::cos(a1),
             y + radius * std::sin(a1));
    }
}

void RasterCanvas::rectangle(double left, double top, double right, double bottom) {
    line(left, top, right, top);
    line(right, top, right, bottom);
    line(right, bottom, left, bottom);
    line(left, bottom, left, top);
}

void RasterCanvas::setTextHeight(int pixels) {
    glyphs_->setPixelSize(std::clamp(pixels, 4, 512));
}

void RasterCanvas::text(double x, double y, const std::string& text) {
    if (std::isfinite(x) && std::isfinite(y)) glyphs_->draw(image_, x, y, text, 0x000000);
}

}  // namespace hostapp
