#pragma once
// Value types exchanged with the host: automation strings, booleans, variants and 32-bit int arrays.
// Ownership follows the host's rules: a string written to an out parameter belongs to the caller.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/ref_ptr.h"

namespace platform {

using AutoString = std::string;
using IntArray = std::vector<std::int32_t>;

// Automation boolean: -1 for true, 0 for false.
using VariantBool = std::int16_t;
inline constexpr VariantBool kVariantTrue = -1;
inline constexpr VariantBool kVariantFalse = 0;

// A tagged value: empty, 32-bit integer, double, boolean, string or interface.
class Variant {
  public:
    using Value = std::variant<std::monostate, std::int32_t, double, bool, std::string, RefPtr<IUnknown>>;

    Variant() = default;
    Variant(std::int32_t v) : value_(v) {}
    Variant(double v) : value_(v) {}
    Variant(bool v) : value_(v) {}
    Variant(std::string v) : value_(std::move(v)) {}
    Variant(const char* v) : value_(std::string(v)) {}
    Variant(RefPtr<IUnknown> v) : value_(std::move(v)) {}

    bool empty() const { return std::holds_alternative<std::monostate>(value_); }
    bool isString() const { return std::holds_alternative<std::string>(value_); }
    bool isInt() const { return std::holds_alternative<std::int32_t>(value_); }

    // The text of a string variant; an empty text for any other kind.
    std::string text() const;
    // The integer of an integer variant; 0 for any other kind.
    std::int32_t integer() const;

    const Value& value() const { return value_; }

  private:
    Value value_;
};

}  // namespace platform
