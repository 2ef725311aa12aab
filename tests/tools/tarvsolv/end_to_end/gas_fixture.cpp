// tarvsolv-gas-fixture KIND DIR [WRONG]: writes DIR/KIND.meb and DIR/KIND.out, a structured box
// mesh and a gas solver's result blocks (VELO, PRES, TEMP, DENS, MACH 1) that hold a closed form
// at every node, for the gas checks of tarvsolv-check-results to be tried on known fields. With
// WRONG, the fields are off by what each check must catch.
//   shocktube10, shocktube5: Sod's tube (1000 x 20 x 20 mm, 0.1 N/mm2 at 26.85 C left of x = 500,
//     0.01 N/mm2 at -33.15 C right of it) after 6.8e-4 s, cells of 10 and 5 mm along x; WRONG:
//     every wave 3 cells downstream of its place.
//   nozzle, nozzleshock: the plane nozzle of height 10 (1 + 6e-5 (x - 100)^2) mm over x from 0
//     to 200, 0.1 N/mm2 and 20 C total, by the one-dimensional theory at an exit pressure of 0.092
//     (subsonic) and 0.0767 N/mm2 (a normal shock at x = 166.6); WRONG: the subsonic Mach number
//     3 % high, the shock 10 mm upstream.
//   wedge: a Mach 2 stream at 0.1 N/mm2 and 20 C along x in a box 100 x 80 x 5 mm, turned by 10
//     degrees through the oblique shock from (20, 0), spread over about 4 mm; WRONG: the shock
//     one degree steeper.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "fem/box_mesh.h"
#include "formats/result_writer.h"
#include "gas_closed_forms.h"

using namespace tarvsolv::testing;

namespace {

constexpr double kGamma = 1.4, kGasConstant = 287.05;  // J/(kg K), 1e6 times in mm2/(s2 K)
constexpr double kKelvin = 273.15;

// A gas's state at a point: density in t/mm3, velocity in mm/s, pressure in N/mm2.
struct State {
    double rho = 0, p = 0;
    tarvsolv::Vec3 u;
};

State stateAt(double p, double celsius, tarvsolv::Vec3 u) {
    return {p / (1e6 * kGasConstant * (celsius + kKelvin)), p, u};
}
double soundSpeed(double celsius) {
    return 1e3 * std::sqrt(kGamma * kGasConstant * (celsius + kKelvin));
}

// Writes the mesh and the five blocks of `field` at its nodes; false when a file cannot be written.
bool writeFixture(const std::string& stem, tarvsolv::FeMesh mesh,
                  const std::function<State(tarvsolv::Vec3)>& field) {
    tarvsolv::writeMeshFile(mesh, stem + ".meb");
    std::vector<double> velocity, pressure, temperature, density, mach;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const State s = field(mesh.node(n));
        const double kelvin = s.p / (1e6 * kGasConstant * s.rho);
        const double speed = std::sqrt(s.u.x * s.u.x + s.u.y * s.u.y + s.u.z * s.u.z);
        velocity.insert(velocity.end(), {s.u.x, s.u.y, s.u.z});
        pressure.push_back(s.p);
        temperature.push_back(kelvin - kKelvin);
        density.push_back(s.rho * 1e3);  // kg/mm3, as the material dialog's unit
        mach.push_back(speed / (1e3 * std::sqrt(kGamma * kGasConstant * kelvin)));
    }
    std::ofstream out(stem + ".out");
    out << results::nodeVectorBlock("VELO", 1, velocity) << results::nodeScalarBlock("PRES", 1, pressure)
        << results::nodeScalarBlock("TEMP", 1, temperature) << results::nodeScalarBlock("DENS", 1, density)
        << results::nodeScalarBlock("MACH", 1, mach);
    return static_cast<bool>(out.flush());
}

tarvsolv::FeMesh box(int nx, int ny, int nz, double lx, double ly, double lz) {
    tarvsolv::BoxSpec grid;
    grid.nx = nx, grid.ny = ny, grid.nz = nz;
    grid.size = {lx, ly, lz};
    grid.quadratic = false;
    return tarvsolv::makeBoxMesh(grid);
}

bool shockTube(const std::string& stem, double size, bool wrong) {
    const double time = 6.8e-4, shift = wrong ? 3 * size : 0;
    const State left = stateAt(0.1, 26.85, {}), right = stateAt(0.01, -33.15, {});
    const ExactRiemann exact({left.rho, 0, left.p}, {right.rho, 0, right.p}, kGamma);
    return writeFixture(stem, box(static_cast<int>(1000 / size), 2, 2, 1000, 20, 20), [&](tarvsolv::Vec3 x) {
        const GasPoint g = exact.at((x.x - shift - 500) / time);
        return State{g.rho, g.p, {g.u, 0, 0}};
    });
}

// The isentropic state of Mach number m along x from the total pressure and temperature.
State isentropic(double m, double totalPressure, double totalCelsius) {
    const double celsius = (totalCelsius + kKelvin) * temperatureRatio(m, kGamma) - kKelvin;
    return stateAt(totalPressure * pressureRatio(m, kGamma), celsius, {m * soundSpeed(celsius), 0, 0});
}

// The nozzle's box mesh with y stretched to the height h(x) at every x.
bool nozzle(const std::string& stem, bool withShock, bool wrong) {
    const auto height = [](double x) { return 10 * (1 + 6e-5 * (x - 100) * (x - 100)); };
    tarvsolv::FeMesh mesh = box(100, 8, 2, 200, 16, 5);
    tarvsolv::mapNodes(mesh, [&](const tarvsolv::Vec3& p) {
        return tarvsolv::Vec3{p.x, p.y * height(p.x) / 16, p.z};
    });
    const double total = 0.1, totalCelsius = 20;
    if (!withShock) {
        // The exit's Mach number from its pressure ratio 0.92 (2 / (gamma - 1) = 5 and
        // (gamma - 1) / gamma = 1 / 3.5), the sonic height from it.
        const double exitMach = std::sqrt(5 * (std::pow(0.92, -1 / 3.5) - 1));
        const double sonic = height(200) / areaRatio(exitMach, kGamma), scale = wrong ? 1.03 : 1;
        return writeFixture(stem, mesh, [&](tarvsolv::Vec3 x) {
            State s = isentropic(machOfAreaRatio(height(x.x) / sonic, kGamma, false), total, totalCelsius);
            s.u.x *= scale;
            return s;
        });
    }
    const double shockX = 100 + std::sqrt((shockAreaRatio(0.767, 1.6, kGamma) - 1) / 6e-5) - (wrong ? 10 : 0);
    const NormalShock shock = normalShock(machOfAreaRatio(height(shockX) / 10, kGamma, true), kGamma);
    return writeFixture(stem, mesh, [&](tarvsolv::Vec3 x) {
        if (x.x > shockX)  // subsonic again, the total pressure down and the sonic area up by the loss
            return isentropic(machOfAreaRatio(height(x.x) / 10 * shock.totalRatio, kGamma, false),
                              total * shock.totalRatio, totalCelsius);
        return isentropic(machOfAreaRatio(height(x.x) / 10, kGamma, x.x > 100), total, totalCelsius);
    });
}

bool wedge(const std::string& stem, bool wrong) {
    const double degree = std::numbers::pi / 180;
    const double beta = obliqueShockAngle(2, 10 * degree, kGamma) + (wrong ? degree : 0);
    const State ahead = stateAt(0.1, 20, {2 * soundSpeed(20), 0, 0});
    // Across the shock the normal component of the velocity falls by the density ratio of the
    // normal shock of its Mach number, the tangential one stays.
    const double normalMach = 2 * std::sin(beta);
    const double pressure = ahead.p * normalShock(normalMach, kGamma).staticRatio;
    const double rho =
        ahead.rho * (kGamma + 1) * normalMach * normalMach / ((kGamma - 1) * normalMach * normalMach + 2);
    const double along = ahead.u.x * std::cos(beta), across = ahead.u.x * std::sin(beta) * ahead.rho / rho;
    const State behind{rho,
                       pressure,
                       {along * std::cos(beta) + across * std::sin(beta),
                        along * std::sin(beta) - across * std::cos(beta), 0}};
    // Spread over a few cells as a captured shock is: a shock sampled at the nodes alone would
    // stand at the middle of the cell it cuts, in steps the fitted angle would follow.
    return writeFixture(stem, box(50, 40, 2, 100, 80, 5), [&](tarvsolv::Vec3 x) {
        const double w = 0.5 * (1 + std::tanh((x.x - 20 - x.y / std::tan(beta)) * std::sin(beta) / 2));
        const auto mix = [w](double a, double b) { return a + w * (b - a); };
        return State{mix(ahead.rho, behind.rho),
                     mix(ahead.p, behind.p),
                     {mix(ahead.u.x, behind.u.x), mix(ahead.u.y, behind.u.y), 0}};
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "WRONG") != 0)) {
        std::fprintf(
            stderr,
            "usage: tarvsolv-gas-fixture shocktube10|shocktube5|nozzle|nozzleshock|wedge DIR [WRONG]\n");
        return 2;
    }
    const std::string kind = argv[1], stem = std::string(argv[2]) + "/" + kind;
    const bool wrong = argc == 4;
    bool written = false;
    if (kind == "shocktube10" || kind == "shocktube5")
        written = shockTube(stem, kind == "shocktube10" ? 10 : 5, wrong);
    else if (kind == "nozzle" || kind == "nozzleshock")
        written = nozzle(stem, kind == "nozzleshock", wrong);
    else if (kind == "wedge")
        written = wedge(stem, wrong);
    else
        return std::fprintf(stderr, "tarvsolv-gas-fixture: no fixture %s\n", kind.c_str()), 2;
    if (!written) std::fprintf(stderr, "tarvsolv-gas-fixture: cannot write %s.out\n", stem.c_str());
    return written ? 0 : 1;
}
