#include "render/builtin_textures.h"

#include <array>
#include <cmath>

namespace render {
namespace {

constexpr Argb kOpaque = 0xFF000000u;

TexturePixels filled(int width, int height) {
    return {width, height, std::vector<Argb>(static_cast<std::size_t>(width) * height, kOpaque)};
}

void fillRow(TexturePixels& t, int y, Argb colour) {
    for (int x = 0; x < t.width; ++x) t.pixels[static_cast<std::size_t>(y) * t.width + x] = kOpaque | colour;
}

// Ten bands, highest values (red) at the top.
TexturePixels bandedBar() {
    struct Band {
        int lastRow;
        Argb colour;
    };
    static constexpr std::array<Band, 10> kBands{{{23, 0xFF0000},
                                                  {46, 0xFFA500},
                                                  {70, 0xFFFF00},
                                                  {94, 0xD3D3D3},
                                                  {118, 0xADFF2F},
                                                  {141, 0x00FF00},
                                                  {165, 0x2E8B57},
                                                  {189, 0x00FFFF},
                                                  {212, 0x00A0FF},
                                                  {236, 0x0000FF}}};
    TexturePixels t = filled(9, 237);
    std::size_t band = 0;
    for (int y = 0; y < t.height; ++y) {
        if (y > kBands[band].lastRow) ++band;
        fillRow(t, y, kBands[band].colour);
    }
    return t;
}

// A continuous ramp from red at the top through orange, yellow, green and cyan to blue.
TexturePixels smoothBar() {
    static constexpr std::array<Argb, 6> kStops{0xFF0000, 0xFFA500, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF};
    TexturePixels t = filled(21, 377);
    for (int y = 0; y < t.height; ++y) {
        const double s = static_cast<double>(y) / (t.height - 1) * (kStops.size() - 1);
        const auto i = std::min<std::size_t>(static_cast<std::size_t>(s), kStops.size() - 2);
        const double f = s - static_cast<double>(i);
        Argb colour = 0;
        for (int shift : {16, 8, 0}) {
            const double a = (kStops[i] >> shift) & 0xFF, b = (kStops[i + 1] >> shift) & 0xFF;
            colour |= static_cast<Argb>(std::lround(a + (b - a) * f)) << shift;
        }
        fillRow(t, y, colour);
    }
    return t;
}

// Grey with a darker one-pixel border: drawn over a triangle, the border marks its edges.
TexturePixels meshTexture() {
    TexturePixels t = filled(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool border = x == 0 || y == 0 || x == 15 || y == 15;
            t.pixels[static_cast<std::size_t>(y) * 16 + x] = kOpaque | (border ? 0x707070u : 0xC3C3C3u);
        }
    return t;
}

}  // namespace

TexturePixels builtInTexturePixels(BuiltInTexture texture) {
    switch (texture) {
        case BuiltInTexture::BandedBar:
            return bandedBar();
        case BuiltInTexture::SmoothBar:
            return smoothBar();
        case BuiltInTexture::MeshTexture:
            return meshTexture();
    }
    return {};
}

}  // namespace render
