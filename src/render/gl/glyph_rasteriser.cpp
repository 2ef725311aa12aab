#include "render/gl/glyph_rasteriser.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <stdexcept>

namespace render::gl {
namespace {
constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";
}

std::string fontFileFor(const std::string& faceName, int weight) {
    const bool bold = weight >= 600 || faceName.find("Black") != std::string::npos;
    return std::string(kFontFolder) + (bold ? "DejaVuSans-Bold.ttf" : "DejaVuSans.ttf");
}

GlyphRasteriser::GlyphRasteriser(const std::string& fontFile, int pixelHeight) : pixelHeight_(pixelHeight) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("FreeType did not start");
    FT_Face face = nullptr;
    if (FT_New_Face(library, fontFile.c_str(), 0, &face) != 0) {
        FT_Done_FreeType(library);
        throw std::runtime_error("cannot load font " + fontFile);
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max(1, pixelHeight)));
    library_ = library;
    face_ = face;
}

GlyphRasteriser::~GlyphRasteriser() {
    FT_Done_Face(static_cast<FT_Face>(face_));
    FT_Done_FreeType(static_cast<FT_Library>(library_));
}

TextBitmap GlyphRasteriser::render(const std::string& text) const {
    auto face = static_cast<FT_Face>(face_);
    const int ascender = static_cast<int>(face->size->metrics.ascender >> 6);
    const int height = static_cast<int>((face->size->metrics.ascender - face->size->metrics.descender) >> 6);
    int width = 0;
    for (unsigned char c : text)
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0)
            width += static_cast<int>(face->glyph->advance.x >> 6);
    TextBitmap out{width, std::max(height, 1), {}};
    out.coverage.assign(static_cast<std::size_t>(out.width) * out.height, 0);
    int pen = 0;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) continue;
        const FT_Bitmap& b = face->glyph->bitmap;
        const int left = pen + face->glyph->bitmap_left, top = ascender - face->glyph->bitmap_top;
        for (int y = 0; y < static_cast<int>(b.rows); ++y)
            for (int x = 0; x < static_cast<int>(b.width); ++x) {
                const int px = left + x, py = top + y;
                if (px < 0 || py < 0 || px >= out.width || py >= out.height) continue;
                unsigned char& dst = out.coverage[static_cast<std::size_t>(py) * out.width + px];
                dst = std::max(dst, b.buffer[y * b.pitch + x]);
            }
        pen += static_cast<int>(face->glyph->advance.x >> 6);
    }
    return out;
}

}  // namespace render::gl
