#pragma once
// Writes RGBA pixels (row 0 at the top) as a PNG file.
#include <cstdint>
#include <string>
#include <vector>

namespace render::gl {

bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba);

}  // namespace render::gl
