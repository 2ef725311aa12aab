#include "model/unit_system.h"

namespace model {

UnitSystem unitSystemOf(std::string_view text) {
    if (text.empty()) return UnitSystem::None;
    switch (text[0]) {
        case 'm':
            return text.size() > 1 && text[1] == 'm' ? UnitSystem::Millimetre : UnitSystem::Metre;
        case 'i':
            return UnitSystem::Inch;
        case 'c':
            return UnitSystem::Centimetre;
        default:
            return UnitSystem::None;
    }
}

std::size_t unitLetterCount(std::string_view text) {
    const auto second = [&](char c) { return text.size() > 1 && text[1] == c; };
    switch (unitSystemOf(text)) {
        case UnitSystem::Millimetre:
            return 2;
        case UnitSystem::Metre:
            return 1;
        case UnitSystem::Inch:
            return second('n') ? 2 : 1;
        case UnitSystem::Centimetre:
            return second('m') ? 2 : 1;
        case UnitSystem::None:
            return 0;
    }
    return 0;
}

}  // namespace model
