#include "loadcase/entry_physics.h"

namespace loadcase {

bool isThermalActionText(std::string_view text) {
    const auto semicolon = text.find(';');
    if (semicolon == std::string_view::npos) return false;
    const std::string_view word = text.substr(semicolon + 1);
    return word.starts_with("heat") || word.starts_with("convection=");
}

}  // namespace loadcase
