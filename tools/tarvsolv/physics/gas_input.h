#pragma once
// An `ana=9` job read into a gas run: the one gas of its bodies in the run's consistent units, what
// each host face is to the gas (wall, inlet, far field, outlet), the body forces and the initial
// state. Everything the run cannot take is refused before anything is solved, named with its line.
//
// Units: pressures, velocities and viscosities are consistent as typed; densities are converted to
// mass as the structural density is; temperatures are typed in the model's degrees (C for the
// metric units, F for inches and feet) and made absolute here; the gas constant and conductivity
// are typed in the thermal grid's units (J/(kg C) and W/(length C) for the metric units, Btu/(lb F)
// and Btu/(s length F) for inches and feet) and converted to length^2/(s^2 K) and force/(s K).
#include <map>
#include <vector>

#include "physics/gas_problem.h"
#include "physics/job.h"

namespace tarvsolv {

// The values that define one host face's boundary; the ones its kind does not use are null.
struct GasFaceCondition {
    int face = 0;
    GasBoundaryKind kind = GasBoundaryKind::FreeOutlet;
    const Expression* pressure = nullptr;     // static (outlet, far field)
    const Expression* velocity[3] = {};       // inlet, far field
    const Expression* temperature = nullptr;  // typed degrees: inlet, far field, isothermal wall
    const Expression* totalPressure = nullptr;
    const Expression* totalTemperature = nullptr;
};

struct GasSetup {
    IdealGas gas;                           // consistent units
    double absoluteZero = 0;                // added to a typed temperature: 273.15 (C) or 459.67 (F)
    double massScale = 1;                   // typed density -> consistent
    double accelerationScale = 1;           // typed acceleration -> consistent
    std::map<int, GasFaceCondition> faces;  // every boundary face of the mesh, by host face number
    std::vector<const Load*> accelerations;
    const Load* initial = nullptr;  // "il p, T"

    // The values at a point and time, temperatures absolute.
    double value(const Expression& e, const Vec3& x, double t) const { return e(EvalPoint{x, t, 0}); }
    double temperature(const Expression& e, const Vec3& x, double t) const {
        return value(e, x, t) + absoluteZero;
    }
    // The whole model's body acceleration at a point and time (consistent units).
    Vec3 acceleration(const Vec3& x, double t) const;
    // The state at t = 0 at a point (see the class comment of readGasSetup).
    GasPrimitive initialState(const Vec3& x) const;
};

// Refuses, naming the line, the T sections a gas does not take: TMATERIALS, any TLOADS line (a gas
// takes no heat loads), a TRESTRAINTS line without "temp"; and a held temperature in RESTRAINTS.
void checkGasSections(const SolverInput& input);
// Adds the held temperatures of TRESTRAINTS to `entries`.
void addGasEntries(const SolverInput& input, ModelEntries& entries);

// Reads the gas, the faces and the initial state of `job`, logging each face. The initial state is
// the `il` line's; else the far field's; else at rest at the first total-pressure inlet's p0, T0;
// else the velocity inlet's temperature at the pressure outlet's pressure. Throws
// std::runtime_error with the user's message for anything the solver cannot take.
GasSetup readGasSetup(const Job& job, RunLog& log);

}  // namespace tarvsolv
