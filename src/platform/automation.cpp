#include "platform/automation.h"

namespace platform {

std::string Variant::text() const {
    if (const auto* s = std::get_if<std::string>(&value_)) return *s;
    return {};
}

std::int32_t Variant::integer() const {
    if (const auto* i = std::get_if<std::int32_t>(&value_)) return *i;
    return 0;
}

}  // namespace platform
