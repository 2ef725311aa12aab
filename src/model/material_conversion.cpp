#include "model/material_conversion.h"

namespace model {

namespace {

using U = UnitSystem;

// The factors are kept as single-precision constants widened to double, so converted values come
// out exactly as the library has always shown them; only the heat-capacity factors are double.
constexpr double f(float factor) {
    return static_cast<double>(factor);
}

struct MechanicalRow {
    U from, to;
    MechanicalFactors factors;
};
struct ThermalRow {
    U from, to;
    ThermalFactors factors;
};

const MechanicalRow kMechanical[] = {
    {U::Inch, U::Metre, {f(6894.76f), f(27680.0f), f(1.8f)}},
    {U::Inch, U::Millimetre, {f(0.00689476f), f(2.768e-5f), f(1.8f)}},
    {U::Inch, U::Centimetre, {f(0.689476f), f(0.02768f), f(1.8f)}},
    {U::Millimetre, U::Metre, {f(1e6f), f(1e9f), f(1.0f)}},
    {U::Millimetre, U::Centimetre, {f(100.0f), f(1000.0f), f(1.0f)}},
    {U::Millimetre, U::Inch, {f(145.03767f), f(36127.293f), f(0.5555556f)}},
    {U::Metre, U::Millimetre, {f(1e-6f), f(1e-9f), f(1.0f)}},
    {U::Metre, U::Centimetre, {f(1e-4f), f(1e-6f), f(1.0f)}},
    {U::Metre, U::Inch, {f(1.4503769e-4f), f(3.6127167e-5f), f(0.5555556f)}},
};

const ThermalRow kThermal[] = {
    {U::Inch, U::Metre, {f(74753.414f), f(27680.0f), 4186.8}},
    {U::Inch, U::Centimetre, {f(747.5341f), f(0.02768f), 4186.8}},
    {U::Inch, U::Millimetre, {f(74.75341f), f(2.768e-5f), 4186.8}},
    {U::Millimetre, U::Metre, {f(1000.0f), f(1e9f), f(1.0f)}},
    {U::Millimetre, U::Centimetre, {f(10.0f), f(1000.0f), f(1.0f)}},
    {U::Millimetre, U::Inch, {f(0.013377314f), f(36127.168f), 0.000238846}},
    {U::Metre, U::Millimetre, {f(0.001f), f(1e-9f), f(1.0f)}},
    {U::Metre, U::Centimetre, {f(0.01f), f(1e-6f), f(1.0f)}},
    {U::Metre, U::Inch, {f(1.3377315e-5f), f(3.6127167e-5f), 0.000238846}},
};

template <typename Row, std::size_t N>
auto findRow(const Row (&rows)[N], U file, U document) -> std::optional<decltype(rows[0].factors)> {
    for (const Row& row : rows) {
        if (row.from == file && row.to == document) return row.factors;
    }
    return std::nullopt;
}

}  // namespace

std::optional<MechanicalFactors> mechanicalFactors(UnitSystem file, UnitSystem document) {
    return findRow(kMechanical, file, document);
}

std::optional<ThermalFactors> thermalFactors(UnitSystem file, UnitSystem document) {
    return findRow(kThermal, file, document);
}

void convertMechanical(MaterialValues& values, UnitSystem file, UnitSystem document) {
    const auto factors = mechanicalFactors(file, document);
    if (!factors) return;
    for (int slot : {0, 5, 6, 9, 10, 11, 12}) values[slot] *= factors->stress;
    values[3] *= factors->density;
    for (int slot : {2, 8}) values[slot] *= factors->expansion;
}

void convertThermal(MaterialValues& values, UnitSystem file, UnitSystem document) {
    const auto factors = thermalFactors(file, document);
    if (!factors) return;
    for (int slot : {0, 1, 2}) values[slot] *= factors->conductivity;
    values[3] *= factors->density;
    values[4] *= factors->heatCapacity;
}

void convertFluid(MaterialValues& values, UnitSystem file, UnitSystem document) {
    if (const auto mechanical = mechanicalFactors(file, document)) {
        values[0] *= mechanical->density;
        values[1] *= mechanical->stress;
        values[4] *= mechanical->expansion;
    }
    if (const auto thermal = thermalFactors(file, document)) {
        values[2] *= thermal->conductivity;
        values[3] *= thermal->heatCapacity;
        values[6] *= thermal->heatCapacity;
    }
}

}  // namespace model
