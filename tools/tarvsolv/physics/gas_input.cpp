#include "physics/gas_input.h"

#include <array>
#include <cmath>
#include <set>
#include <stdexcept>

#include "formats/input_values.h"
#include "physics/time_stepping.h"

namespace tarvsolv {
namespace {

std::runtime_error lineError(int line, const std::string& what) {
    return std::runtime_error("input line " + std::to_string(line) + ": " + what);
}

bool holdsTemperature(const std::string& text) {
    const std::vector<std::string> w = formats::words(text);
    for (std::size_t k = 1; k < w.size() && k <= 3; ++k)
        if (w[k] == "temp") return true;
    return false;
}

// Joules (metric) or Btu (inches, feet) in the consistent unit of energy, force x length.
double energyScale(const UnitSystem& units) {
    constexpr double kFootPoundsPerBtu = 778.169262;
    if (units.name == "in") return 12 * kFootPoundsPerBtu;
    if (units.name == "ft") return kFootPoundsPerBtu;
    return 1 / units.metresPerLength;
}

// The one gas of every body, in consistent units.
IdealGas readGas(const Job& job, const GasSetup& setup) {
    const auto& bodies = job.geometry->elementBodies();
    std::map<int, int> firstElement;
    for (int e = 0; e < job.mesh.elementCount(); ++e) firstElement.try_emplace(bodies[e], e);
    std::optional<BodyMaterial::Gas> gas;
    int gasBody = 0;
    for (const auto& [body, e] : firstElement) {
        const BodyMaterial::Gas g = job.materials->forBody(body).gasAt(elementPoint(job.mesh, e, 0, 0), body);
        const auto differs = [](double a, double b) {
            return std::abs(a - b) > 1e-9 * std::max(std::abs(a), std::abs(b));
        };
        if (gas && (differs(g.gamma, gas->gamma) || differs(g.gasConstant, gas->gasConstant) ||
                    differs(g.viscosity, gas->viscosity) || differs(g.conductivity, gas->conductivity)))
            throw std::runtime_error("bodies " + std::to_string(gasBody) + " and " + std::to_string(body) +
                                     " hold different gases; a compressible flow takes one gas");
        if (!gas) gas = g, gasBody = body;
    }
    const double energy = energyScale(job.units);
    IdealGas out;
    out.gamma = gas->gamma;
    out.R = gas->gasConstant * energy / setup.massScale;
    out.mu = gas->viscosity;
    out.k = gas->conductivity * energy;
    return out;
}

// What the entries put on each host face.
struct FaceEntries {
    bool wall = false;
    std::array<bool, 3> fixed{};  // of every fixity on the face together
    const Load* pressure = nullptr;
    const Load* velocity = nullptr;
    const Load* total = nullptr;
    const HeldTemperature* temperature = nullptr;
    int line = 0;  // the first line that names the face
};

template <typename T>
void setOnce(const T*& slot, const T* entry, int line, int face, const std::string& what) {
    if (slot) throw lineError(line, what + " is given twice on face " + std::to_string(face));
    slot = entry;
}

std::map<int, FaceEntries> faceEntries(const Job& job, GasSetup& setup) {
    std::map<int, FaceEntries> faces;
    const auto note = [&](int face, int line) -> FaceEntries& {
        FaceEntries& f = faces[face];
        if (f.line == 0) f.line = line;
        return f;
    };
    for (const Restraint& r : job.entries.restraints) {
        if (r.where.kind != EntityRef::Kind::Face)
            throw lineError(r.line,
                            "a compressible flow takes walls on faces only, not on " + r.where.describe());
        // Several fixities on one face fix their directions together, as they hold a flow's.
        FaceEntries& f = note(r.where.first, r.line);
        f.wall = true;
        for (int a = 0; a < 3; ++a) f.fixed[a] = f.fixed[a] || r.fixed[a];
    }
    for (const HeldTemperature& h : job.entries.heldTemperatures) {
        if (h.where.kind != EntityRef::Kind::Face)
            throw lineError(h.line, "a compressible flow takes held temperatures on faces only, not on " +
                                        h.where.describe());
        setOnce(note(h.where.first, h.line).temperature, &h, h.line, h.where.first, "a held temperature");
    }
    for (const Load& load : job.entries.loads) {
        switch (load.kind) {
            case LoadKind::Acceleration:
                setup.accelerations.push_back(&load);
                break;
            case LoadKind::InitialState:
                if (setup.initial) throw lineError(load.line, "a second initial state; the run takes one");
                setup.initial = &load;
                break;
            case LoadKind::Pressure:
                setOnce(note(load.where.first, load.line).pressure, &load, load.line, load.where.first,
                        "a pressure");
                break;
            case LoadKind::Velocity:
                setOnce(note(load.where.first, load.line).velocity, &load, load.line, load.where.first,
                        "a velocity");
                break;
            case LoadKind::TotalPressure:
                setOnce(note(load.where.first, load.line).total, &load, load.line, load.where.first,
                        "a total pressure");
                break;
            default:
                throw lineError(load.line, "a compressible flow does not take this load");
        }
    }
    return faces;
}

// The kind of a face from what is on it, by the table of the README's "Compressible flow".
GasFaceCondition classify(int face, const FaceEntries& f, const IdealGas& gas) {
    GasFaceCondition c;
    c.face = face;
    const std::string name = "face " + std::to_string(face);
    if (f.wall) {
        if (f.pressure || f.velocity || f.total)
            throw lineError(f.line, name + " is a wall (a fixity) and carries a velocity or pressure too");
        const bool noSlip = gas.viscous() && f.fixed[0] && f.fixed[1] && f.fixed[2];
        if (f.temperature && !noSlip)
            throw lineError(f.temperature->line,
                            name +
                                " is a slip wall: a held temperature acts on a no-slip wall of a viscous gas "
                                "(all three directions fixed), an inlet or a far field");
        c.kind = noSlip ? GasBoundaryKind::NoSlipWall : GasBoundaryKind::SlipWall;
        if (f.temperature) c.temperature = &f.temperature->value;
        return c;
    }
    if (f.total) {
        if (f.pressure || f.velocity || f.temperature)
            throw lineError(f.line,
                            name +
                                " is a total-pressure inlet: its p0, T0 are the whole of its condition; "
                                "it takes no velocity, static pressure or held temperature");
        c.kind = GasBoundaryKind::TotalInlet;
        c.totalPressure = &f.total->values[0];
        c.totalTemperature = &f.total->values[1];
        return c;
    }
    if (f.velocity && f.temperature) {
        c.kind = f.pressure ? GasBoundaryKind::FarField : GasBoundaryKind::VelocityInlet;
        for (int a = 0; a < 3; ++a) c.velocity[a] = &f.velocity->values[a];
        c.temperature = &f.temperature->value;
        if (f.pressure) c.pressure = &f.pressure->values[0];
        return c;
    }
    if (f.velocity)
        throw lineError(f.velocity->line,
                        "a velocity alone on " + name +
                            ": an inlet needs its temperature too (a held temperature in TRESTRAINTS), a "
                            "far field its static pressure and temperature");
    if (f.temperature)
        throw lineError(f.temperature->line,
                        name +
                            (f.pressure ? " has a pressure and a temperature without a velocity"
                                        : " has a held temperature alone") +
                            ": an inlet or far field needs a velocity, a wall a fixity");
    if (f.pressure) {
        c.kind = GasBoundaryKind::PressureOutlet;
        c.pressure = &f.pressure->values[0];
        return c;
    }
    return c;  // nothing on it: a free outlet
}

const char* kindText(GasBoundaryKind kind) {
    switch (kind) {
        case GasBoundaryKind::SlipWall:
            return "slip wall";
        case GasBoundaryKind::NoSlipWall:
            return "no-slip wall";
        case GasBoundaryKind::TotalInlet:
            return "inlet at a total pressure and temperature";
        case GasBoundaryKind::VelocityInlet:
            return "inlet at a velocity and temperature";
        case GasBoundaryKind::FarField:
            return "far field";
        case GasBoundaryKind::PressureOutlet:
            return "outlet at a static pressure";
        case GasBoundaryKind::FreeOutlet:
            return "free outlet (nothing on it)";
    }
    return "";
}

}  // namespace

void checkGasSections(const SolverInput& input) {
    const auto refuse = [](const InputLine& line, const std::string& what) {
        return std::runtime_error("input line " + std::to_string(line.number) + " '" + line.text +
                                  "': " + what);
    };
    if (!input.thermalMaterials.empty())
        throw refuse(input.thermalMaterials.front(),
                     "a compressible flow has no thermal materials: the gas's line rho,mu,k,c,beta,gamma,R "
                     "holds its constants");
    if (!input.thermalLoads.empty())
        throw refuse(input.thermalLoads.front(), "a compressible flow takes no heat loads");
    for (const InputLine& line : input.restraints)
        if (holdsTemperature(line.text)) throw refuse(line, "a held temperature belongs in TRESTRAINTS");
    for (const InputLine& line : input.thermalRestraints)
        if (!holdsTemperature(line.text))
            throw refuse(line, "a gas's walls belong in RESTRAINTS; TRESTRAINTS holds temperatures");
}

void addGasEntries(const SolverInput& input, ModelEntries& entries) {
    readMoreEntries(entries, input.thermalRestraints, {}, Physics::Thermal);
}

Vec3 GasSetup::acceleration(const Vec3& x, double t) const {
    Vec3 a;
    for (const Load* load : accelerations)
        for (int k = 0; k < 3; ++k) a[k] += accelerationScale * value(load->values[k], x, t);
    return a;
}

GasPrimitive GasSetup::initialState(const Vec3& x) const {
    const GasFaceCondition* far = nullptr;
    const GasFaceCondition* total = nullptr;
    const GasFaceCondition* inlet = nullptr;
    const GasFaceCondition* outlet = nullptr;
    for (const auto& [face, c] : faces) {
        if (c.kind == GasBoundaryKind::FarField && !far) far = &c;
        if (c.kind == GasBoundaryKind::TotalInlet && !total) total = &c;
        if (c.kind == GasBoundaryKind::VelocityInlet && !inlet) inlet = &c;
        if (c.kind == GasBoundaryKind::PressureOutlet && !outlet) outlet = &c;
    }
    Vec3 u;
    if (far)
        for (int a = 0; a < 3; ++a) u[a] = value(*far->velocity[a], x, 0);
    if (initial)
        return gas.fromPressureTemperature(value(initial->values[0], x, 0),
                                           temperature(initial->values[1], x, 0), u);
    if (far)
        return gas.fromPressureTemperature(value(*far->pressure, x, 0), temperature(*far->temperature, x, 0),
                                           u);
    if (total)
        return gas.fromPressureTemperature(value(*total->totalPressure, x, 0),
                                           temperature(*total->totalTemperature, x, 0), u);
    if (inlet && outlet)
        return gas.fromPressureTemperature(value(*outlet->pressure, x, 0),
                                           temperature(*inlet->temperature, x, 0), u);
    throw std::runtime_error(
        "the initial state is not defined: give the body an initial pressure and temperature");
}

GasSetup readGasSetup(const Job& job, RunLog& log) {
    GasSetup setup;
    setup.absoluteZero = job.units.name == "in" || job.units.name == "ft" ? 459.67 : 273.15;
    setup.massScale = job.units.massScale;
    setup.accelerationScale = job.units.accelerationScale;
    setup.gas = readGas(job, setup);
    const IdealGas& gas = setup.gas;
    log.line("gas: ratio of specific heats " + number(gas.gamma) + ", gas constant " + number(gas.R) + " " +
             job.units.name + "2/(s2 K), " +
             (gas.viscous()
                  ? "viscosity " + number(gas.mu) + ", conductivity " + number(gas.k) + " (Navier-Stokes)"
                  : std::string("inviscid (Euler)")));
    const std::map<int, FaceEntries> entries = faceEntries(job, setup);
    std::set<int> meshFaces;
    for (const Facet& facet : job.mesh.facets) meshFaces.insert(facet.tag);
    for (const auto& [face, f] : entries)
        if (!meshFaces.count(face))
            throw lineError(f.line, "face " + std::to_string(face) + " is not in the mesh");
    if (meshFaces.empty()) throw std::runtime_error("the mesh has no boundary face");
    for (int face : meshFaces) {
        const auto it = entries.find(face);
        GasFaceCondition c = it == entries.end() ? GasFaceCondition{face} : classify(face, it->second, gas);
        log.line(std::string(kindText(c.kind)) + " on face " + std::to_string(face));
        setup.faces.emplace(face, c);
    }
    // Evaluated once here so that an undefined initial state is refused before any step.
    const GasPrimitive start = setup.initialState(job.mesh.node(0));
    if (!IdealGas::admissible(start))
        throw std::runtime_error(
            "the initial state has a density or pressure not above 0 (an absolute "
            "pressure and a temperature above absolute zero are needed)");
    return setup;
}

}  // namespace tarvsolv
