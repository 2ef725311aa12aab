#pragma once
// Text as pixels through FreeType with the bundled DejaVu fonts: a string becomes a coverage
// bitmap (one byte per pixel, row 0 at the top).
#include <string>
#include <vector>

namespace render::gl {

struct TextBitmap {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> coverage;
};

// The font file used for a face name: DejaVu Sans Bold stands in for the bold faces the views ask for.
std::string fontFileFor(const std::string& faceName, int weight);

class GlyphRasteriser {
  public:
    // Throws std::runtime_error when the font file cannot be loaded.
    GlyphRasteriser(const std::string& fontFile, int pixelHeight);
    ~GlyphRasteriser();
    GlyphRasteriser(const GlyphRasteriser&) = delete;
    GlyphRasteriser& operator=(const GlyphRasteriser&) = delete;

    TextBitmap render(const std::string& text) const;

  private:
    void* library_ = nullptr;
    void* face_ = nullptr;
    int pixelHeight_;
};

}  // namespace render::gl
