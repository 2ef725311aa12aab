// tarvsolv-check-results: checks results of the end-to-end runs against closed-form solutions.
//   cantilever MESH OUT LENGTH WIDTH HEIGHT E NU FORCE: held at x = 0, FORCE downwards (-z) at
//     x = LENGTH: the mean tip deflection (beam theory with shear) and the bending stress on the top
//     and bottom fibres at mid-length, each within 2 %.
//   gap MESH OUT LENGTH WIDTH HEIGHT E NU FORCE GAP: that cantilever with a normal gap GAP on its
//     bottom: the tip rests on the floor and the beam carries k GAP (its tip stiffness k), checked as
//     above under that force.
//   modes OUT LENGTH WIDTH HEIGHT E NU RHO: the first three natural frequencies of that cantilever
//     (bending across the height, across the width, second across the height) against
//     Euler-Bernoulli corrected for shear and rotary inertia, within 2 %; RHO in kg/mm3.
//   buckling OUT LENGTH WIDTH HEIGHT E NU PRESSURE: that cantilever as a column pushed by PRESSURE
//     on its free end: the first three load factors (across the height, across the width, second
//     across the height) against Euler's loads of the fixed-free column corrected for shear, 2 %.
//   slab MESH OUT THICKNESS K FLUX H FLUID: flux into x = 0, convection at x = THICKNESS: the
//     temperatures at both faces against 1-D conduction, within 0.5 %.
//   transient MESH OUT THICKNESS DIFFUSIVITY INITIAL HELD STEPSIZE STEP1 STEP2 STEP3 DEPTH1 DEPTH2:
//     a slab at INITIAL whose face x = 0 is held at HELD from time 0, insulated at x = THICKNESS:
//     the temperature at both depths in the blocks of the three steps against the series solution,
//     within 2 % of its rise.
//   hole MESH OUT WIDTH DIAMETER TRACTION: a long strip of WIDTH across y with a central hole on
//     the z axis, pulled along x by TRACTION (gross stress): the peak axial stress on the hole
//     against the finite-width stress concentration factor, within 3 %.
//   adaptivehole MESH OUT LOG COARSELOG FINELOG WIDTH DIAMETER TRACTION: that strip refined until its
//     error estimate met the target (its run log LOG), against two uniform meshes of it (their run
//     logs): the peak of the axial stress averaged through the thickness on the hole against the
//     same closed form within 1 %, and the adaptive mesh's unknowns at most a third of what uniform
//     meshes need for its error, by the uniform meshes' rate of convergence.
//   adaptivecorner MESH LOG COARSELOG FINELOG X Y ORDER: a part refined at a re-entrant corner along
//     z at (X, Y) (run log LOG), against two uniform meshes (their logs): the error estimate falls
//     with the unknowns over the refinement cycles after the first at least at 0.8 times the
//     optimal rate -ORDER/3, while the uniform meshes' rate stays above -0.45 (the singular
//     corner's) and 0.2 short of the adaptive one; the elements within 5 mm of the corner are on
//     average less than a quarter of the size of those 30 mm or more from it.
//   tube MESH OUT INNER OUTER E NU PRESSURE: a tube about the z axis with free ends under internal
//     pressure: the hoop stress at the bore and the outer surface and the radial displacement of
//     the bore against Lame, within 2 %. With SLOG, its run's log: the error estimate's
//     effectivity (the logged relative error against the energy-norm error of the displacements
//     from Lame's stresses) within 0.8 to 1.3, and "Error estimate" as the add-on reads it.
//   thermtube MESH OUT INNER OUTER E NU ALPHA DT: the same tube in plane strain, its bore DT above
//     its outer surface and the stress-free temperature: the mid-wall temperature against the
//     logarithmic profile and the hoop stress at the bore and outside against the closed form,
//     within 2 %.
//   heldbar MESH OUT HEIGHT E ALPHA T0 BOTTOM TOP: a bar along x held between two walls (its ends
//     held along x, free across), its bottom z = 0 held at BOTTOM and its top z = HEIGHT at TOP, T0
//     its stress-free temperature: every node's temperature against the linear profile (1e-3), its
//     axial stress against -E ALPHA (T(z) - T0) (1 %), the stress across it nil (1 % of the largest).
//   suddenbar MESH OUT LENGTH E ALPHA T0 HELD DIFFUSIVITY STEPSIZE STEP1 STEP2 STEP3: that bar from
//     T0, its end x = 0 held at HELD from time 0 and its end x = LENGTH at T0: in the blocks of the
//     three steps the axial stress of the section x = LENGTH / 2 against -E ALPHA times the mean
//     rise of the series solution, within 3 %.
//   assembly MESH OUT E NU PRESSURE LINELOAD: the two blocks of samples/assembly.run (50 and 30
//     long along x, 20 wide, 10 high; held at x = 0 and x = 60; PRESSURE down on both tops;
//     LINELOAD per mm down along the second block's top tip edge): each block's mean tip
//     deflection against a cantilever with shear under a uniform and a tip load, within 10 %
//     (blocks this short are stiffened by their clamped ends beyond beam theory).
//   dynamic MESH OUT LENGTH WIDTH HEIGHT E NU RHO FORCE STEPSIZE EVERY STEPS: that cantilever under
//     FORCE applied suddenly at time 0, undamped: the mean tip deflection of the printed steps
//     swings down to twice the static deflection (3 %) at the first natural frequency (a sine
//     fitted to the swing, 2 %).
//   decay MESH OUT LENGTH FREQUENCY ALPHA BETA STEPSIZE EVERY STEPS: the same damped by ALPHA M + BETA K:
//     the damping ratio from the logarithmic decrement of the swing over its second period against
//     ALPHA / (2 w) + BETA w / 2 at the first frequency FREQUENCY (Hz), within 5 %.
//   orthobar MESH OUT LENGTH HEIGHT E1 NU E2 G12 ANGLE TRACTION: a bar along x of an orthotropic
//     material, direction 1 at ANGLE degrees from x in the xy plane, pulled along x by TRACTION on
//     its end x = LENGTH, free to contract and shear: the mean stretch of that end and the mean
//     thinning of its top z = HEIGHT against the rotated compliance, within 1 %.
//   plasticbar MESH OUT LENGTH E SY SU TRACTION STEPS: a bar along x free to contract, pulled by
//     TRACTION above its yield SY in STEPS load steps, hardening linearly to SU at an equivalent
//     plastic strain of 0.2: the step before the last has no plastic strain (its traction is
//     below SY), the last one's "Plastic Strain" as the add-on reads it is uniform at
//     (TRACTION - SY) / H (2 %) with von Mises stress TRACTION (1 %), and the pulled end
//     stretches by LENGTH (TRACTION / E + that strain) (1 %).
//   elastica MESH OUT LENGTH WIDTH HEIGHT E FORCE [GAP]: that cantilever in large displacements under
//     FORCE downwards (-z) on its end x = LENGTH, keeping its direction, in ten load steps: the
//     end's mean shortening and deflection at steps 5 and 10 against the elastica, within 2 %, and
//     the stresses of the last step present. With GAP (a normal gap on the bottom face), a step
//     whose free end would sink further rests its bottom edge on the floor: the beam is the
//     elastica of the tip force that puts that edge at GAP, the floor carries the rest.
//   poiseuille MESH OUT SLOG RADIUS LENGTH MU UMAX OUTLET: a pipe along z from 0 to LENGTH, fed with
//     the parabolic profile of centre speed UMAX at z = 0: the profile over its middle third within
//     1 % of UMAX; the flow rate out of face OUTLET (the solver's log) against pi R^4 dp / (8 mu L)
//     of the pressure gradient fitted over that third, and against the inlet's pi R^2 UMAX / 2,
//     each within 1 %.
//   startup MESH OUT RADIUS MU RHO GRADIENT STEPSIZE STEP1 STEP2 STEP3: that pipe started from rest
//     by a pressure difference of GRADIENT per length: the speeds over its middle third in the
//     blocks of the three steps against the series solution, within 2 % of the steady centre speed.
//   cylinder MESH OUT SLOG FACE RHO UMEAN DIAMETER HEIGHT: the channel of the flow past a cylinder
//     (the cylinder's surface FACE, across the channel's HEIGHT, its axis at x = 500, y = 200, in
//     mm): the drag and lift coefficients 2 F / (rho UMEAN^2 DIAMETER HEIGHT) from the force on FACE
//     in the solver's log, and the pressure difference between the points in front of and behind
//     the cylinder on its mid-height (x = 450 and 550), against the published ranges of the
//     benchmark.
//   sphere SLOG FACE MU SPEED RADIUS TUBE TOLERANCE: a sphere of RADIUS held on the axis (x) of a
//     tube of radius TUBE whose wall and inlet move at SPEED along x, in creeping flow: the drag on
//     FACE in the solver's log against Stokes's 6 pi MU RADIUS SPEED times the wall correction of
//     Haberman and Sayre, within TOLERANCE (a fraction), the force across the axis below it too.
//   cavity MESH OUT SIDE THICKNESS SPEED TOLERANCE: a square cavity of SIDE in x and y, a slab of
//     THICKNESS along z between slip walls, its lid y = SIDE moving at SPEED along x, at Re = 100:
//     u along x = SIDE/2 and v along y = SIDE/2 at mid-thickness, interpolated in the quadratic
//     elements, against Ghia, Ghia and Shin's profiles, every point within TOLERANCE of SPEED.
//   conjugate MESH OUT HEIGHT INLET FINEMESH FINEOUT TOLERANCE: a solid block (z from 0 to HEIGHT)
//     under a fluid body that shares its top, water in at INLET degrees: both meshes have no two
//     nodes at one point (the shared face meshed once, its nodes common to both bodies), the
//     velocity is 0 in the block and on the shared face, and the block's peak temperature rise
//     above INLET on MESH lies within TOLERANCE (a fraction) of the rise on the finer FINEMESH.
//   heatpipe MESH OUT SLOG RADIUS SPLIT LENGTH PECLET TIN TWALL INLET UPSTREAM DOWNSTREAM OUTLET:
//     the quarter x, y >= 0 of a pipe along z from 0 to LENGTH fed at TIN through face INLET, its
//     wall faces UPSTREAM (z < SPLIT) and DOWNSTREAM held at TWALL, face OUTLET free, at Peclet
//     number PECLET by the diameter: the developed Nusselt number by the log-mean rule over the
//     downstream face, from the bulk temperatures of the solver's heat report and from the fields
//     over the cross-sections, each against 3.657 within 2 %.
//   convection SLOG HOT COLD NUSSELT TOLERANCE: the mean Nusselt number of face HOT in the
//     solver's log within TOLERANCE (a fraction) of NUSSELT, face COLD's the same within 1e-3, and
//     the heat balanced to 1e-3.
//   shocktube MESH OUT SIZE FINEMESH FINEOUT FINESIZE GAMMA R PLEFT TLEFT PRIGHT TRIGHT DIAPHRAGM
//     TIME STEP: a gas (GAMMA, R in J/(kg K)) at rest in a tube along x, PLEFT (N/mm2) and TLEFT
//     (C) left of x = DIAPHRAGM and PRIGHT, TRIGHT right of it, after TIME (block STEP), on meshes
//     of cells SIZE and FINESIZE: on each, the shock and the contact (the steepest falls of the
//     pressure and of the density behind it along the axis) within two cells of the exact
//     solution of the Riemann problem; the L1 errors of density, velocity and pressure along the
//     axis smaller on the finer mesh.
//   nozzle MESH OUT SIZE GAMMA R TOTAL EXIT THROATX THROAT CURVATURE: a plane nozzle along x of
//     height THROAT (1 + CURVATURE (x - THROATX)^2) above its symmetry plane, total pressure
//     TOTAL in, static pressure EXIT out: subsonic throughout, the Mach number and pressure at
//     ten stations of the axis within 2 % of the area-Mach relation; or with a normal shock in
//     the diverging part, its place within 3 % of the length of the one-dimensional theory's.
//   wedge MESH OUT SIZE GAMMA R MACH RAMP FOOT: a stream at MACH along x over a ramp of RAMP
//     degrees from x = FOOT on the floor: the oblique shock's angle, a line fitted through the
//     pressure's mid-level crossings along lines across it, within 0.5 degree of theta-beta-M.
//   drag SLOG FACE GAMMA PRESSURE MACH AREA BOUND [FINESLOG]: inviscid subsonic flow round the
//     half of a body cut by its plane of symmetry y = 0: the drag coefficient of FACE in the
//     solver's log (the free stream's dynamic pressure 0.5 GAMMA PRESSURE MACH^2, frontal AREA)
//     below BOUND; with FINESLOG, on the finer mesh below BOUND and no larger than the difference
//     between the two meshes' drags (the estimate of its discretisation error).
//   Every gas check holds the density and Mach number blocks against p / (R T) and |u| / a first;
//   the model in mm, N/mm2, C (densities in kg/mm3).
//   dump MESH OUT KIND ITEM STEP: no check; prints what the add-on's reader reads for one quantity,
//     one node a line ("node value", or "node x y z" for ITEM -1), after a line "mode VALUE" for a
//     mode shape: what check_vtk.py compares the VTK files with.
// Prints what it compares; exit 0 when everything holds.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "closed_forms.h"
#include "elastica.h"
#include "energy_error.h"
#include "fem/fe_mesh.h"
#include "formats/derived_stress.h"
#include "formats/mesh_reader.h"
#include "formats/result_kinds.h"
#include "formats/result_reader.h"
#include "gas_closed_forms.h"
#include "gas_profiles.h"
#include "sine_fit.h"

using namespace tarvsolv::testing;

namespace {

using mesh_solve::NodePoint;

// The numbers of `N` arguments from `first` on.
template <std::size_t N>
std::array<double, N> numbers(char** argv, int first = 2) {
    std::array<double, N> out;
    for (std::size_t k = 0; k < N; ++k) out[k] = std::atof(argv[first + k]);
    return out;
}

// Prints why a check cannot be made and ends the program with exit code 1.
[[noreturn]] [[gnu::format(printf, 1, 2)]] void cannotCheck(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::exit(1);
}

// The mesh file, read by the add-on's reader; exits with a message when it cannot be read.
mesh_solve::Mesh readMesh(const char* path) {
    mesh_solve::Mesh mesh;
    const mesh_solve::MeshReadResult result = mesh_solve::readMeshFile(mesh, path);
    if (result.status != mesh_solve::MeshReadStatus::Read || !mesh.isLoaded())
        cannotCheck("cannot read the mesh %s: %s\n", path, result.message.c_str());
    return mesh;
}

// One quantity of the result file as the add-on's views read it: node values (element-corner
// results averaged per node, with the number of corner lines behind each node), or node vectors.
// `solutionType` is the loadcase's solve index where it decides how the blocks are numbered.
// Exits with a message when the block is missing.
results::NodeResults readQuantity(const char* path, const mesh_solve::Mesh& mesh, int kind, int item,
                                  int step = 1, int solutionType = 0) {
    results::NodeResults out;
    out.reset(static_cast<std::size_t>(mesh.nodeCount()));
    if (results::readResult(path, results::ResultMesh::of(mesh), {kind, item, step, solutionType}, out) !=
        results::ReadStatus::Read)
        cannotCheck("the result file %s has no block of kind %d, step %d\n", path, kind, step);
    return out;
}

// Whether every comparison `within` printed so far held.
bool allHeld = true;

// Prints a comparison and notes whether it held.
void within(const char* what, double got, double expected, double tolerance) {
    const double error = std::abs(got - expected) / std::abs(expected);
    std::printf("%-32s %12.6g  expected %12.6g  (%+.2f %%)\n", what, got, expected,
                100 * (got - expected) / std::abs(expected));
    if (!(error <= tolerance)) allHeld = false;
}

// Prints a largest error against its allowed part of `scale` and notes whether it held.
void below(const char* what, double error, double scale, double allowed) {
    std::printf("%-32s %12.6g  allowed %12.6g  (%.2f %% of %g)\n", what, error, allowed * scale,
                100 * error / scale, scale);
    if (!(error <= allowed * scale)) allHeld = false;
}

// The exit code of a check: 0 when every comparison held.
int verdict() {
    return allHeld ? 0 : 1;
}

// The mean of `values` over the nodes whose coordinate `axis` (0 x, 1 y, 2 z) lies within
// `tolerance` of `at`; exits with a message when there is none.
double meanOnPlane(const mesh_solve::Mesh& mesh, const std::vector<double>& values, int axis, double at,
                   double tolerance) {
    double sum = 0;
    int count = 0;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const NodePoint p = mesh.nodePosition(n + 1);
        if (std::abs((axis == 0 ? p.x : axis == 1 ? p.y : p.z) - at) <= tolerance) sum += values[n], ++count;
    }
    if (!count) cannotCheck("no nodes at %c = %g\n", "xyz"[axis], at);
    return sum / count;
}

// The node farthest from `expected(position)` (relative to that value) among the nodes `inside`
// takes, compared by `within`: when it holds, every one of them does. Stresses are compared at
// corner nodes only (`cornersOnly`), whose values come from the elements' own corner lines.
template <class Inside, class Expected>
void withinAtEveryNode(const char* what, const mesh_solve::Mesh& mesh, const results::NodeResults& got,
                       Inside inside, Expected expected, double tolerance, bool cornersOnly) {
    double worst = -1, worstGot = 0, worstExpected = 0;
    int count = 0;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const NodePoint p = mesh.nodePosition(n + 1);
        if ((cornersOnly && !got.hits[n]) || !inside(p)) continue;
        const double value = expected(p), error = std::abs(got.values[n] - value) / std::abs(value);
        ++count;
        if (!std::isnan(worst) && !(error <= worst))
            worst = error, worstGot = got.values[n], worstExpected = value;
    }
    if (!count) {
        std::printf("%-32s no nodes to compare\n", what);
        allHeld = false;
        return;
    }
    const std::string label = std::string(what) + ", worst of " + std::to_string(count);
    within(label.c_str(), worstGot, worstExpected, tolerance);
}

// The largest magnitude of a quantity over the nodes.
double largestMagnitude(const results::NodeResults& got) {
    return std::max(std::abs(got.largest), std::abs(got.smallest));
}

}  // namespace

// `force`: the force the beam carries at its tip (below 0: the argument FORCE).
int cantilever(char** argv, double force = -1) {
    const auto [length, width, height, e, nu] = numbers<5>(argv);
    if (force < 0) force = std::atof(argv[7]);
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const results::NodeResults uz = readQuantity(argv[1], mesh, results::kKindDisplacement, 2);
    const results::NodeResults sx = readQuantity(argv[1], mesh, results::kKindStress, 0);
    const double tol = 1e-6 * length;
    const double tip = meanOnPlane(mesh, uz.values, 0, length, tol);
    // Stress on the top and bottom fibres near mid-length: the mean over the corner lines of nodes
    // within a tenth of the height of the fibre and a twentieth of the length of the middle.
    double top = 0, bottom = 0;
    int topCount = 0, bottomCount = 0;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const NodePoint p = mesh.nodePosition(n + 1);
        if (std::abs(p.x - length / 2) > length / 20) continue;
        const double lines = sx.hits[n];
        if (std::abs(p.z - height) < tol) top += sx.values[n] * lines, topCount += sx.hits[n];
        if (std::abs(p.z) < tol) bottom += sx.values[n] * lines, bottomCount += sx.hits[n];
    }
    if (!topCount || !bottomCount) cannotCheck("no nodes on the fibres\n");
    const double fibre = force * (length / 2) * (height / 2) / (width * height * height * height / 12);
    within("tip deflection", -tip, force * tipCompliance(length, width, height, e, nu), 0.02);
    within("top fibre stress at L/2", top / topCount, fibre, 0.02);
    within("bottom fibre stress at L/2", bottom / bottomCount, -fibre, 0.02);
    return verdict();
}

// The cantilever whose bottom may sink by at most GAP (a normal gap): once its free tip deflection
// passes GAP the tip rests on the floor, which carries the load beyond the force k GAP that bends
// the beam to it (k its tip stiffness with shear), so the beam is checked as a cantilever under
// that force.
int gap(char** argv) {
    const auto [length, width, height, e, nu, force, gapSize] = numbers<7>(argv);
    const double carried = std::min(force, gapSize / tipCompliance(length, width, height, e, nu));
    std::printf("the beam carries %g of %g at its tip, the floor the rest\n", carried, force);
    return cantilever(argv, carried);
}

int assembly(char** argv) {
    const auto [e, nu, pressure, lineLoad] = numbers<4>(argv);
    constexpr double kWidth = 20, kHeight = 10;
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const results::NodeResults uz = readQuantity(argv[1], mesh, results::kKindDisplacement, 2);
    const double inertia = kWidth * kHeight * kHeight * kHeight / 12, shearArea = 5.0 / 6 * kWidth * kHeight,
                 g = e / (2 * (1 + nu)), w = pressure * kWidth;
    struct Block {
        const char* name;
        double start, length, tipForce;
    };
    const Block blocks[] = {{"first block's tip deflection", 0, 50, 0},
                            {"second block's tip deflection", 60, 30, lineLoad * kWidth}};
    for (const Block& b : blocks) {
        const double tip = meanOnPlane(mesh, uz.values, 0, b.start + b.length, 1e-6);
        const double l = b.length;
        const double expected = w * std::pow(l, 4) / (8 * e * inertia) + w * l * l / (2 * g * shearArea) +
                                b.tipForce * std::pow(l, 3) / (3 * e * inertia) +
                                b.tipForce * l / (g * shearArea);
        within(b.name, -tip, expected, 0.10);
    }
    return verdict();
}

// The mode values of modes 1 to 3 (frequencies or load factors) as the views read them, each within
// 2 % of its expected value; no mesh is needed for them.
int firstThreeModeValues(const char* path, const char* const (&names)[3], const double (&expected)[3]) {
    const mesh_solve::Mesh noMesh;
    for (int k = 0; k < 3; ++k)
        within(names[k], readQuantity(path, noMesh, results::kKindModeShape, 0, k + 1).modeValue, expected[k],
               0.02);
    return verdict();
}

int modes(char** argv) {
    const auto [length, width, height, e, nu, rho] = numbers<6>(argv, 1);
    auto frequency = [&](double beta, double depth, double breadth) {
        return cantileverFrequency(length, depth, breadth, e, nu, rho, beta);
    };
    const double expected[3] = {frequency(1.8751, height, width), frequency(1.8751, width, height),
                                frequency(4.6941, height, width)};
    const char* names[3] = {"mode 1 (Hz)", "mode 2 (Hz)", "mode 3 (Hz)"};
    return firstThreeModeValues(argv[0], names, expected);
}

// The mean downward deflection of the nodes at x = LENGTH in the blocks of the printed steps.
void tipHistory(const char* path, const mesh_solve::Mesh& mesh, double length, double dt, int every,
                int steps, std::vector<double>& times, std::vector<double>& tip) {
    for (int step = every; step <= steps; step += every) {
        const results::NodeResults uz = readQuantity(path, mesh, results::kKindDisplacement, 2, step);
        times.push_back(step * dt);
        tip.push_back(-meanOnPlane(mesh, uz.values, 0, length, 1e-6 * length));
    }
}

int dynamic(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [length, width, height, e, nu, rho, force, dt] = numbers<8>(argv);
    const int every = std::atoi(argv[10]), steps = std::atoi(argv[11]);
    const double deflection = force * tipCompliance(length, width, height, e, nu);
    std::vector<double> times, tip;
    tipHistory(argv[1], mesh, length, dt, every, steps, times, tip);
    const double frequency = cantileverFrequency(length, height, width, e, nu, rho, 1.8751);
    const double fitted = fittedFrequency(times, tip, 2 * M_PI * frequency) / (2 * M_PI);
    within("deepest swing", *std::max_element(tip.begin(), tip.end()), 2 * deflection, 0.03);
    within("frequency of the swing (Hz)", fitted, frequency, 0.02);
    return verdict();
}

// Three successive turns x1, x2, x3 of the swing give the mean it decays towards,
// (x1 x3 - x2^2) / (x1 + x3 - 2 x2), and the decrement over one period.
int decay(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [length, frequency, alpha, beta, dt] = numbers<5>(argv);
    std::vector<double> times, tip;
    tipHistory(argv[1], mesh, length, dt, std::atoi(argv[7]), std::atoi(argv[8]), times, tip);
    // The deepest point within the first period, then by turns the shallowest and the deepest
    // within a period after the last: ripples of the higher modes cannot pose as turns. The first
    // turn still carries some of the higher modes the sudden load excites, so the decrement is
    // taken over the three turns after it.
    const double period = 1 / frequency;
    std::vector<double> extremes;
    std::size_t from = 0;
    for (int k = 0; k < 4; ++k) {
        std::size_t at = from;
        for (std::size_t i = from; i < tip.size() && times[i] < times[from] + period; ++i)
            if (k % 2 == 0 ? tip[i] > tip[at] : tip[i] < tip[at]) at = i;
        if (at == from || at == 0 || at + 1 >= tip.size())
            cannotCheck("the swing has fewer than four turning points\n");
        // The turn between the printed steps: the top of the parabola through the three points.
        const double a = tip[at - 1], b = tip[at], c = tip[at + 1];
        extremes.push_back(b - (a - c) * (a - c) / (8 * (a - 2 * b + c)));
        from = at;
    }
    const double x1 = extremes[1], x2 = extremes[2], x3 = extremes[3];
    const double mean = (x1 * x3 - x2 * x2) / (x1 + x3 - 2 * x2);
    const double decrement = std::log((x1 - mean) / (x3 - mean));
    const double measured = decrement / std::sqrt(4 * M_PI * M_PI + decrement * decrement);
    const double omega = 2 * M_PI * frequency;
    within("damping ratio from the decrement", measured, alpha / (2 * omega) + beta * omega / 2, 0.05);
    return verdict();
}

int slab(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const results::NodeResults temperatures = readQuantity(argv[1], mesh, results::kKindTemperature, 0);
    const auto [thickness, k, q, h, fluid] = numbers<5>(argv);
    for (double x : {0.0, thickness}) {
        const double expected = fluid + q / h + q * (thickness - x) / k;
        within(x == 0 ? "temperature at x = 0" : "temperature at the cooled face",
               meanOnPlane(mesh, temperatures.values, 0, x, 1e-6 * thickness), expected, 0.005);
    }
    return verdict();
}

// The slab's temperature at a depth, from a straight line fitted through the nodes within 1 mm of
// it (an unstructured mesh has few nodes exactly there), against the series solution
//   (T - T0) / (Th - T0) = 1 - sum 4 / ((2n+1) pi) sin(m x) exp(-m^2 a t), m = (2n+1) pi / (2 L).
int transient(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [thickness, diffusivity, initial, held, stepSize] = numbers<5>(argv);
    for (int s = 0; s < 3; ++s) {
        const int step = std::atoi(argv[7 + s]);
        const results::NodeResults t = readQuantity(argv[1], mesh, results::kKindTemperature, 0, step);
        for (int d = 0; d < 2; ++d) {
            const double depth = std::atof(argv[10 + d]), time = step * stepSize;
            double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
            for (int node = 0; node < mesh.nodeCount(); ++node) {
                const double x = mesh.nodePosition(node + 1).x - depth;
                if (std::abs(x) > 1) continue;
                n += 1, sx += x, sy += t.values[node], sxx += x * x, sxy += x * t.values[node];
            }
            const double fitted = (sy * sxx - sx * sxy) / (n * sxx - sx * sx);
            char what[64];
            std::snprintf(what, sizeof what, "rise at x = %g, t = %g", depth, time);
            within(what, fitted - initial, (held - initial) * slabRise(depth, time, thickness, diffusivity),
                   0.02);
        }
    }
    return verdict();
}

// The strip's peak axial stress on the hole edge. The closed form is Heywood's for a central
// circular hole in a finite-width plate under uniaxial tension (R. B. Heywood, Designing by
// Photoelasticity, Chapman & Hall 1952; quoted in Peterson's Stress Concentration Factors):
//   Kt_net = 2 + (1 - d/W)^3, peak = Kt_net * sigma_net, sigma_net = F / ((W - d) t),
// which for d/W = 0.2 gives 3.14 times the gross stress, as Howland's series solution does. It is
// a plane-stress result for a plate long enough that the ends do not matter.
double heywoodPeak(double width, double diameter, double traction) {
    return (2 + std::pow(1 - diameter / width, 3)) * traction * width / (width - diameter);
}

int hole(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const results::NodeResults sx = readQuantity(argv[1], mesh, results::kKindStress, 0);
    const auto [width, diameter, traction] = numbers<3>(argv);
    double peak = -HUGE_VAL;
    int edgeNodes = 0;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const NodePoint p = mesh.nodePosition(n + 1);
        // Corner nodes only: the views give mid-side nodes the mean of their corners.
        if (!sx.hits[n] || std::abs(std::hypot(p.x, p.y) - diameter / 2) > 1e-4 * diameter) continue;
        peak = std::max(peak, sx.values[n]);
        ++edgeNodes;
    }
    if (!edgeNodes) cannotCheck("no corner nodes on the hole\n");
    within("peak axial stress at the hole", peak, heywoodPeak(width, diameter, traction), 0.03);
    return verdict();
}

// Every "refinement cycle" line of a run log: (unknowns, error estimate as a fraction).
std::vector<std::pair<double, double>> refinementCycles(const char* logPath) {
    std::ifstream in(logPath);
    std::vector<std::pair<double, double>> cycles;
    for (std::string line; std::getline(in, line);) {
        const auto at = line.find("] refinement cycle "), colon = line.find(": ", at + 1),
                   est = line.find("error estimate ", at + 1);
        if (at == std::string::npos || colon == std::string::npos || est == std::string::npos) continue;
        std::string digits;
        for (char c : line.substr(colon + 2, line.find(" unknowns") - colon - 2))
            if (c != ',') digits += c;
        cycles.emplace_back(std::atof(digits.c_str()), std::atof(line.c_str() + est + 15) / 100);
    }
    return cycles;
}

// The unknowns and the error estimate (a fraction) of a run's last solve, from its run log: the last
// "refinement cycle" line of a refined run, else the mesh's nodes (3 unknowns each) and the
// "error estimate:" line.
std::optional<std::pair<double, double>> unknownsAndError(const char* logPath) {
    if (const auto cycles = refinementCycles(logPath); !cycles.empty()) return cycles.back();
    std::ifstream in(logPath);
    double nodes = 0, error = -1;
    for (std::string line; std::getline(in, line);) {
        if (const auto mesh = line.find("] mesh: "); mesh != std::string::npos)
            nodes = std::atof(line.c_str() + mesh + 8);
        else if (const auto est = line.find("] error estimate: "); est != std::string::npos)
            error = std::atof(line.c_str() + est + 18) / 100;
    }
    if (nodes > 0 && error > 0) return std::make_pair(3 * nodes, error);
    std::fprintf(stderr, "%s: no unknowns or error estimate\n", logPath);
    return std::nullopt;
}

// The largest, over the hole's edge in bins of 4 degrees, of the axial stress averaged over the
// corner nodes of a bin: on a plate whose thickness is a quarter of the hole's diameter the peak at
// mid-thickness lies above the plane-stress value and the one at the faces below, while their mean
// through the thickness follows plane stress.
double thicknessMeanPeak(const mesh_solve::Mesh& mesh, const results::NodeResults& sx, double radius) {
    constexpr int kBins = 90;
    std::array<double, kBins> sum{};
    std::array<int, kBins> count{};
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const NodePoint p = mesh.nodePosition(n + 1);
        if (!sx.hits[n] || std::abs(std::hypot(p.x, p.y) - radius) > 1e-4 * radius) continue;
        const double turn = std::atan2(p.y, p.x) / (2 * M_PI) + 0.5;
        const int bin = std::min(kBins - 1, static_cast<int>(turn * kBins));
        sum[bin] += sx.values[n];
        ++count[bin];
    }
    double peak = -HUGE_VAL;
    for (int b = 0; b < kBins; ++b)
        if (count[b] >= 3) peak = std::max(peak, sum[b] / count[b]);
    return peak;
}

int adaptiveHole(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const results::NodeResults sx = readQuantity(argv[1], mesh, results::kKindStress, 0);
    const auto adaptive = unknownsAndError(argv[2]), coarse = unknownsAndError(argv[3]),
               fine = unknownsAndError(argv[4]);
    if (!adaptive || !coarse || !fine) return 1;
    const double width = std::atof(argv[5]), diameter = std::atof(argv[6]), traction = std::atof(argv[7]);
    within("thickness-mean peak at the hole", thicknessMeanPeak(mesh, sx, diameter / 2),
           heywoodPeak(width, diameter, traction), 0.01);
    // error ~ unknowns^rate on uniform meshes: the unknowns a uniform mesh needs for the adaptive error.
    const double rate = std::log(fine->second / coarse->second) / std::log(fine->first / coarse->first);
    const double uniform = fine->first * std::pow(adaptive->second / fine->second, 1 / rate);
    std::printf("uniform meshes: %.0f unknowns %.3g %%, %.0f unknowns %.3g %% (rate %.2f)\n", coarse->first,
                100 * coarse->second, fine->first, 100 * fine->second, rate);
    std::printf("adaptive: %.0f unknowns %.3g %%; uniform for that error: %.0f unknowns\n", adaptive->first,
                100 * adaptive->second, uniform);
    below("adaptive / uniform unknowns", adaptive->first, uniform, 1.0 / 3);
    return verdict();
}

// The least-squares slope of log(error) against log(unknowns).
double convergenceRate(const std::vector<std::pair<double, double>>& points) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const auto& [unknowns, error] : points) {
        const double x = std::log(unknowns), y = std::log(error);
        sx += x, sy += y, sxx += x * x, sxy += x * y;
    }
    const double n = static_cast<double>(points.size());
    return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

int adaptiveCorner(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const std::vector<std::pair<double, double>> cycles = refinementCycles(argv[1]);
    const auto coarse = unknownsAndError(argv[2]), fine = unknownsAndError(argv[3]);
    if (cycles.size() < 3 || !coarse || !fine)
        cannotCheck("needs three refinement cycles and both uniform runs\n");
    const double x = std::atof(argv[4]), y = std::atof(argv[5]), order = std::atof(argv[6]);
    const double adaptive = convergenceRate({cycles.begin() + 1, cycles.end()});
    const double uniform = convergenceRate({*coarse, *fine});
    for (const auto& [unknowns, error] : cycles)
        std::printf("cycle: %.0f unknowns %.3g %%\n", unknowns, 100 * error);
    std::printf("rates: adaptive %.3f (at most %.3f), uniform %.3f (at least -0.45 and %.3f)\n", adaptive,
                -0.8 * order / 3, uniform, adaptive + 0.2);
    if (!(adaptive <= -0.8 * order / 3 && uniform >= -0.45 && uniform >= adaptive + 0.2)) allHeld = false;
    // The mean corner edge length of the elements near the corner and far from it.
    double near = 0, far = 0;
    int nearCount = 0, farCount = 0;
    for (int e = 1; e <= mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        const bool quadratic = nodes.size() == 10;
        const int corners[4] = {0, quadratic ? 2 : 1, quadratic ? 4 : 2, quadratic ? 9 : 3};
        double cx = 0, cy = 0, size = 0;
        for (int a = 0; a < 4; ++a) {
            const NodePoint p = mesh.nodePosition(nodes[corners[a]]);
            cx += p.x / 4, cy += p.y / 4;
            for (int b = a + 1; b < 4; ++b) {
                const NodePoint q = mesh.nodePosition(nodes[corners[b]]);
                size += std::hypot(p.x - q.x, p.y - q.y, p.z - q.z) / 6;
            }
        }
        const double distance = std::hypot(cx - x, cy - y);
        if (distance < 5) near += size, ++nearCount;
        if (distance >= 30) far += size, ++farCount;
    }
    if (!nearCount || !farCount) cannotCheck("no elements near or far from the corner\n");
    below("size near the corner / far", near / nearCount, far / farCount, 0.25);
    return verdict();
}

// The hoop stress at the bore (r = a) and at the outer surface (r = b) of a tube about the z axis:
// the mean over the corner nodes of each surface (the views give mid-side nodes their corners'
// mean). A surface without a corner node ends the check.
std::array<double, 2> surfaceHoopStress(const mesh_solve::Mesh& mesh, const char* out, double a, double b,
                                        int step = 1) {
    const results::NodeResults sx = readQuantity(out, mesh, results::kKindStress, 0, step),
                               sy = readQuantity(out, mesh, results::kKindStress, 1, step),
                               txy = readQuantity(out, mesh, results::kKindStress, 3, step);
    double sum[2] = {0, 0};
    int count[2] = {0, 0};
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const NodePoint q = mesh.nodePosition(n + 1);
        const double r = std::hypot(q.x, q.y), c = q.x / r, sn = q.y / r;
        const int surface = std::abs(r - a) < 1e-4 * a ? 0 : std::abs(r - b) < 1e-4 * b ? 1 : -1;
        if (surface < 0 || !sx.hits[n]) continue;
        sum[surface] += sx.values[n] * sn * sn + sy.values[n] * c * c - 2 * txy.values[n] * sn * c;
        ++count[surface];
    }
    if (!count[0] || !count[1]) cannotCheck("no corner nodes on the bore or the outer surface\n");
    return {sum[0] / count[0], sum[1] / count[1]};
}

// Lame's thick cylinder with free ends (axial stress 0, which holds exactly in three dimensions):
//   sigma_theta(r) = A + B / r^2, sigma_r(r) = A - B / r^2, A = p a^2 / (b^2 - a^2), B = A b^2,
//   u_r(r) = ((1 - nu) A r + (1 + nu) B / r) / E   (plane stress: the ends are free to shorten).
// The radial displacement is fitted together with a rigid translation in x and y, since a support
// that only stops the tube sliding sideways may move it as a whole without straining it.
// The estimate of a run of the Lame tube against its true error: the estimated error norm is the
// logged relative error r of the run's solution norm s, r s / sqrt(1 - r^2).
void tubeEffectivity(char** argv, const results::NodeResults& u, double a, double b, double e, double nu,
                     double p) {
    std::ifstream in(argv[7]);
    std::stringstream log;
    log << in.rdbuf();
    const double r = tarvsolv::testing::loggedRelativeError(log.str());
    const double coefA = p * a * a / (b * b - a * a), coefB = coefA * b * b;
    const tarvsolv::testing::EnergyNorms norms = tarvsolv::testing::energyNorms(
        tarvsolv::readMeshFile(argv[0]), u.vectors, e, nu, [&](const tarvsolv::Vec3& x) {
            const double r2 = x.x * x.x + x.y * x.y, c2 = x.x * x.x / r2, s2 = x.y * x.y / r2,
                         cs = x.x * x.y / r2;
            const double radial = coefA - coefB / r2, hoop = coefA + coefB / r2;
            return std::array<double, 6>{
                radial * c2 + hoop * s2, radial * s2 + hoop * c2, 0, (radial - hoop) * cs, 0, 0};
        });
    std::printf("error estimate: logged %.3g %%, true error %.4g %% of the solution's energy norm\n", 100 * r,
                100 * norms.error / norms.solution);
    const double estimated = r * norms.solution / std::sqrt(1 - r * r);
    const double effectivity = estimated / norms.error;
    std::printf("error estimate's effectivity %.3f, allowed 0.8 to 1.3\n", effectivity);
    below("effectivity outside 0.8 to 1.3 by", std::max({0.8 - effectivity, effectivity - 1.3, 0.0}), 1, 0);
    if (!(effectivity == effectivity)) below("effectivity (no estimate logged)", 1, 1, 0);
    const results::NodeResults shown =
        readQuantity(argv[1], readMesh(argv[0]), results::kKindErrorEstimate, 0);
    below("error estimate below 0 at a node", std::max(0.0, -shown.smallest), 1, 0);
}

int tube(char** argv, bool withLog = false) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [a, b, e, nu, p] = numbers<5>(argv);
    const results::NodeResults u =
        readQuantity(argv[1], mesh, results::kKindDisplacement, results::kItemVector);
    const auto hoop = surfaceHoopStress(mesh, argv[1], a, b);
    // Sums over the bore's nodes for the least squares of u = ur (c, s) + (tx, ty).
    double count = 0, sumC = 0, sumS = 0, sumUx = 0, sumUy = 0, sumUr = 0;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const NodePoint q = mesh.nodePosition(n + 1);
        const double r = std::hypot(q.x, q.y), c = q.x / r, sn = q.y / r;
        if (std::abs(r - a) >= 1e-4 * a) continue;
        const double ux = u.vectors[3 * n], uy = u.vectors[3 * n + 1];
        count += 1, sumC += c, sumS += sn, sumUx += ux, sumUy += uy, sumUr += c * ux + sn * uy;
    }
    // The translation eliminated from the normal equations (c^2 + s^2 = 1 at every node).
    const double ur =
        (sumUr - (sumC * sumUx + sumS * sumUy) / count) / (count - (sumC * sumC + sumS * sumS) / count);
    const double coefA = p * a * a / (b * b - a * a), coefB = coefA * b * b;
    within("hoop stress at the bore", hoop[0], coefA + coefB / (a * a), 0.02);
    within("hoop stress at the outer surface", hoop[1], coefA + coefB / (b * b), 0.02);
    within("radial displacement of the bore", ur, ((1 - nu) * coefA * a + (1 + nu) * coefB / a) / e, 0.02);
    if (withLog) tubeEffectivity(argv, u, a, b, e, nu, p);
    return verdict();
}

// A tube in plane strain whose bore is dT above its outer surface, which is at the stress-free
// temperature: the steady temperature is logarithmic in r and the hoop stress is (Timoshenko and
// Goodier, Theory of Elasticity, 3rd ed., section 151, the long cylinder with its ends held)
//   sigma_theta(r) = K [1 - ln(b/r) - a^2 / (b^2 - a^2) (1 + b^2 / r^2) ln(b/a)],
//   K = alpha E dT / (2 (1 - nu) ln(b/a)),
// so K (1 - 2 b^2 ln(b/a) / (b^2 - a^2)) at the bore and K (1 - 2 a^2 ln(b/a) / (b^2 - a^2))
// outside. The bore's temperature is checked too: it is what the stresses were solved with.
int thermtube(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [a, b, e, nu, alpha, dT] = numbers<6>(argv);
    const auto hoop = surfaceHoopStress(mesh, argv[1], a, b);
    const results::NodeResults t = readQuantity(argv[1], mesh, results::kKindTemperature, 0);
    // The node nearest the middle of the wall, and its radius (temperatures are nodal values).
    double mid = 0, midRadius = 0, nearest = HUGE_VAL;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const NodePoint q = mesh.nodePosition(n + 1);
        const double r = std::hypot(q.x, q.y), off = std::abs(r - (a + b) / 2);
        if (off < nearest) nearest = off, mid = t.values[n], midRadius = r;
    }
    const double k = alpha * e * dT / (2 * (1 - nu) * std::log(b / a));
    const double spread = 2 * std::log(b / a) / (b * b - a * a);
    within("temperature at mid-wall", mid, dT * std::log(b / midRadius) / std::log(b / a), 0.02);
    within("hoop stress at the bore", hoop[0], k * (1 - spread * b * b), 0.02);
    within("hoop stress at the outer surface", hoop[1], k * (1 - spread * a * a), 0.02);
    return verdict();
}

// A linear temperature strains a free body without stressing it. Held between the walls the bar
// cannot stretch along x anywhere, which the axial stress -E alpha (T(z) - T0) alone undoes: with
// nothing across (the sides are free), that stress field meets equilibrium, the free sides and the
// held ends exactly, and the quadratic elements hold it and the linear temperature exactly.
int heldbar(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [height, e, alpha, t0, bottom, top] = numbers<6>(argv);
    const auto temperature = [&](const NodePoint& p) { return bottom + (top - bottom) * p.z / height; };
    const auto everywhere = [](const NodePoint&) { return true; };
    withinAtEveryNode("temperature", mesh, readQuantity(argv[1], mesh, results::kKindTemperature, 0),
                      everywhere, temperature, 1e-3, false);
    const results::NodeResults sx = readQuantity(argv[1], mesh, results::kKindStress, results::kItemSigmaX);
    withinAtEveryNode(
        "axial stress", mesh, sx, everywhere,
        [&](const NodePoint& p) { return -e * alpha * (temperature(p) - t0); }, 0.01, true);
    const std::pair<int, const char*> across[] = {{results::kItemSigmaY, "largest |sigma y|"},
                                                  {results::kItemSigmaZ, "largest |sigma z|"},
                                                  {results::kItemTauXY, "largest |tau xy|"},
                                                  {results::kItemTauYZ, "largest |tau yz|"},
                                                  {results::kItemTauXZ, "largest |tau xz|"}};
    for (const auto& [item, what] : across)
        below(what, largestMagnitude(readQuantity(argv[1], mesh, results::kKindStress, item)),
              largestMagnitude(sx), 0.01);
    return verdict();
}

// Held between the walls the bar keeps its length, so its sections carry the force that undoes the
// thermal stretch of its mean rise: the section stress -E alpha times that rise, the same at every
// section. It is checked at the middle one, away from the walls, which hold the end sections flat
// where the changing temperature would warp them (Saint-Venant: within about two widths), as the
// mean over its nodes: single nodes scatter by about E alpha h |dT/dx| / 2 with the element size
// h, where the quadratic temperature meets the linear strain of the elements.
int suddenbar(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [length, e, alpha, t0, held, diffusivity, stepSize] = numbers<7>(argv);
    for (int s = 0; s < 3; ++s) {
        const int step = std::atoi(argv[9 + s]);
        const double time = step * stepSize;
        const results::NodeResults sx =
            readQuantity(argv[1], mesh, results::kKindStress, results::kItemSigmaX, step,
                         results::kSolutionTransientThermalStress);
        char what[64];
        std::snprintf(what, sizeof what, "mid-length stress at t = %g", time);
        within(what, meanOnPlane(mesh, sx.values, 0, length / 2, 1e-6 * length),
               -e * alpha * (held - t0) * heldEndsMeanRise(time, length, diffusivity), 0.03);
    }
    return verdict();
}

int buckling(char** argv) {
    const auto [length, width, height, e, nu, pressure] = numbers<6>(argv, 1);
    auto factor = [&](double effectiveLength, double depth, double breadth) {
        return criticalLoad(effectiveLength, depth, breadth, e, nu) / (pressure * width * height);
    };
    const double expected[3] = {factor(2 * length, height, width), factor(2 * length, width, height),
                                factor(2 * length / 3, height, width)};
    const char* names[3] = {"load factor 1", "load factor 2", "load factor 3"};
    return firstThreeModeValues(argv[0], names, expected);
}

int orthobar(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [length, height, e1, nu, e2, g12, degrees, p] = numbers<8>(argv);
    const double c = std::cos(degrees * M_PI / 180), s = std::sin(degrees * M_PI / 180);
    // Compliance rotated about z (direction 3 along z, E3 = E2, nu13 = nu23 = nu).
    const double sxx = std::pow(c, 4) / e1 + (1 / g12 - 2 * nu / e1) * s * s * c * c + std::pow(s, 4) / e2;
    const double szx = -nu * c * c / e1 - nu * s * s / e2;
    const results::NodeResults ux = readQuantity(argv[1], mesh, results::kKindDisplacement, 0),
                               uz = readQuantity(argv[1], mesh, results::kKindDisplacement, 2);
    within("stretch of the pulled end", meanOnPlane(mesh, ux.values, 0, length, 1e-6 * length),
           sxx * p * length, 0.01);
    within("thinning of the top", meanOnPlane(mesh, uz.values, 2, height, 1e-6 * length), szx * p * height,
           0.01);
    return verdict();
}

int plasticbar(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [length, e, sy, su, p] = numbers<5>(argv);
    const int steps = std::atoi(argv[7]);
    const double plastic = (p - sy) / ((su - sy) / 0.2);
    using results::kKindPlasticStrain;
    const results::NodeResults before = readQuantity(argv[1], mesh, kKindPlasticStrain, 0, steps - 1);
    const results::NodeResults ep = readQuantity(argv[1], mesh, kKindPlasticStrain, 0, steps);
    const results::NodeResults mises = readQuantity(argv[1], mesh, results::kKindStress, 6, steps);
    const results::NodeResults ux = readQuantity(argv[1], mesh, results::kKindDisplacement, 0, steps);
    if (before.largest != 0) allHeld = false;
    std::printf("%-32s %12.6g  expected 0\n", "plastic strain, step before", before.largest);
    within("smallest plastic strain", ep.smallest, plastic, 0.02);
    within("largest plastic strain", ep.largest, plastic, 0.02);
    within("smallest von Mises stress", mises.smallest, p, 0.01);
    within("largest von Mises stress", mises.largest, p, 0.01);
    within("stretch of the pulled end", meanOnPlane(mesh, ux.values, 0, length, 1e-6 * length),
           length * (p / e + plastic), 0.01);
    return verdict();
}

// The load parameter of the elastica whose tip's bottom edge (HEIGHT / 2 below the centre line,
// turned by the tip's slope, taken as 3/2 of the deflection over the length) sinks by `gap`, at
// most `alpha`.
double alphaResting(double alpha, double gap, double length, double height) {
    const double centre = gap / length + height / (2 * length) * (1 - std::cos(1.5 * gap / length));
    if (elasticaTip(alpha).deflection <= centre) return alpha;
    double lo = 0, hi = alpha;
    for (int i = 0; i < 50; ++i) {
        const double mid = (lo + hi) / 2;
        (elasticaTip(mid).deflection > centre ? hi : lo) = mid;
    }
    return lo;
}

int elastica(char** argv, double gap = 0) {
    const auto [length, width, height, e, force] = numbers<5>(argv);
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const double alpha = force * length * length / (e * width * height * height * height / 12);
    for (const int step : {5, 10}) {
        const results::NodeResults ux = readQuantity(argv[1], mesh, results::kKindDisplacement, 0, step),
                                   uz = readQuantity(argv[1], mesh, results::kKindDisplacement, 2, step);
        const double along = -meanOnPlane(mesh, ux.values, 0, length, 1e-6 * length),
                     across = -meanOnPlane(mesh, uz.values, 0, length, 1e-6 * length);
        const double applied = alpha * step / 10;
        const double carried = gap > 0 ? alphaResting(applied, gap, length, height) : applied;
        if (carried < applied)
            std::printf("step %d: the beam carries %.3g %% of the load at its tip, the floor the rest\n",
                        step, 100 * carried / applied);
        const ElasticaTip tip = elasticaTip(carried);
        const std::string at = " at step " + std::to_string(step);
        within(("tip deflection" + at).c_str(), across, tip.deflection * length, 0.02);
        within(("tip shortening" + at).c_str(), along, tip.shortening * length, 0.02);
    }
    readQuantity(argv[1], mesh, results::kKindStress, 0, 10);
    return verdict();
}

// The flow report of the solver's log: the total force of the fluid on each wall face, and the
// flow rate through each opening (out of the fluid positive).
struct LoggedFlows {
    std::vector<std::pair<int, std::array<double, 3>>> forces;
    std::vector<std::pair<int, double>> rates;
};

// The text of every time-stamped line of the solver log at `path` (after "[  t s] "); a log that
// cannot be read ends the check.
std::vector<std::string> loggedTexts(const char* path) {
    std::ifstream log(path);
    if (!log) cannotCheck("cannot read the solver log %s\n", path);
    std::vector<std::string> texts;
    for (std::string line; std::getline(log, line);)
        if (const std::size_t stamp = line.find("] "); stamp != std::string::npos)
            texts.push_back(line.substr(stamp + 2));
    return texts;
}

LoggedFlows readLoggedFlows(const char* path) {
    LoggedFlows out;
    for (const std::string& text : loggedTexts(path)) {
        int face = 0, used = 0;
        if (std::sscanf(text.c_str(), " face %d: %n", &face, &used) != 1 || !used) continue;
        const std::string rest = text.substr(used);
        const std::size_t total = rest.find("total ");
        std::array<double, 3> f{};
        double q = 0;
        char direction[8] = "";
        if (rest.starts_with("pressure ") && total != std::string::npos &&
            std::sscanf(rest.c_str() + total + 6, "%lf %lf %lf", &f[0], &f[1], &f[2]) == 3)
            out.forces.push_back({face, f});
        else if (std::sscanf(rest.c_str(), "%lf %7s", &q, direction) == 2)
            out.rates.push_back({face, std::string(direction) == "in" ? -q : q});
    }
    return out;
}

template <typename T>
const T& loggedFor(const std::vector<std::pair<int, T>>& entries, int face, const char* what) {
    for (const auto& [f, value] : entries)
        if (f == face) return value;
    cannotCheck("the solver log has no %s of face %d\n", what, face);
}

// The result file's pressure block (kind 8, a node scalar laid out as temperatures).
constexpr int kKindPressure = 8;

// The distance of a node from the z axis.
double radiusOf(const NodePoint& p) {
    return std::hypot(p.x, p.y);
}

// The least-squares slope of `values` along z over the nodes with z in [from, to].
double slopeAlongZ(const mesh_solve::Mesh& mesh, const std::vector<double>& values, double from, double to) {
    double n = 0, sz = 0, sp = 0, szz = 0, szp = 0;
    for (int node = 0; node < mesh.nodeCount(); ++node) {
        const double z = mesh.nodePosition(node + 1).z;
        if (z < from || z > to) continue;
        n += 1, sz += z, sp += values[node], szz += z * z, szp += z * values[node];
    }
    return (n * szp - sz * sp) / (n * szz - sz * sz);
}

// The largest difference over the nodes of the pipe's middle third between the axial speed read
// and `expected` of the radius.
template <typename Speed>
double largestProfileError(const mesh_solve::Mesh& mesh, const results::NodeResults& velocity, double length,
                           Speed expected) {
    double worst = 0;
    for (int node = 0; node < mesh.nodeCount(); ++node) {
        const NodePoint p = mesh.nodePosition(node + 1);
        if (p.z < length / 3 || p.z > 2 * length / 3) continue;
        worst = std::max(worst, std::abs(velocity.vectors[3 * node + 2] - expected(radiusOf(p))));
    }
    return worst;
}

int poiseuille(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const LoggedFlows logged = readLoggedFlows(argv[2]);
    const auto [radius, length, mu, centreSpeed, outlet] = numbers<5>(argv, 3);
    const results::NodeResults velocity =
        readQuantity(argv[1], mesh, results::kKindVelocity, results::kItemVector);
    const results::NodeResults pressure = readQuantity(argv[1], mesh, kKindPressure, 0);
    below("profile error (middle third)",
          largestProfileError(mesh, velocity, length,
                              [&](double r) { return centreSpeed * (1 - r * r / (radius * radius)); }),
          centreSpeed, 0.01);
    const double gradient = -slopeAlongZ(mesh, pressure.values, length / 3, 2 * length / 3);
    const double rate = loggedFor(logged.rates, static_cast<int>(outlet), "flow rate");
    std::printf("pressure drop per length %.6g\n", gradient);
    within("flow rate vs pi R^4 dp/(8 mu L)", rate,
           std::numbers::pi * std::pow(radius, 4) * gradient / (8 * mu), 0.01);
    within("flow rate vs the inlet's", rate, std::numbers::pi * radius * radius * centreSpeed / 2, 0.01);
    return verdict();
}

// Start-up of pipe flow from rest under a pressure gradient G (Szymanski's series):
//   u(r, t) = G R^2 / (4 mu) [1 - (r/R)^2 - 8 sum J0(l_n r/R) / (l_n^3 J1(l_n)) exp(-l_n^2 nu t / R^2)]
// with l_n the zeros of J0.
double startupSpeed(double r, double t, double radius, double mu, double nu, double gradient) {
    double sum = 0;
    for (int n = 1; n <= 40; ++n) {
        double l = (n - 0.25) * std::numbers::pi;  // McMahon's estimate, refined by Newton's method
        for (int k = 0; k < 8; ++k) l += std::cyl_bessel_j(0.0, l) / std::cyl_bessel_j(1.0, l);
        sum += std::cyl_bessel_j(0.0, l * r / radius) / (l * l * l * std::cyl_bessel_j(1.0, l)) *
               std::exp(-l * l * nu * t / (radius * radius));
    }
    const double rho = r / radius;
    return gradient * radius * radius / (4 * mu) * (1 - rho * rho - 8 * sum);
}

int startup(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [radius, mu, rho, gradient, stepSize] = numbers<5>(argv);
    double length = 0;
    for (int node = 0; node < mesh.nodeCount(); ++node)
        length = std::max(length, mesh.nodePosition(node + 1).z);
    const double steady = gradient * radius * radius / (4 * mu);
    for (int s = 0; s < 3; ++s) {
        const int step = std::atoi(argv[7 + s]);
        const double time = step * stepSize;
        const results::NodeResults velocity =
            readQuantity(argv[1], mesh, results::kKindVelocity, results::kItemVector, step);
        char what[64];
        std::snprintf(what, sizeof what, "profile error at t = %g", time);
        below(what,
              largestProfileError(
                  mesh, velocity, length,
                  [&](double r) { return startupSpeed(r, time, radius, mu, mu / rho, gradient); }),
              steady, 0.02);
    }
    return verdict();
}

// The element that holds a point and the point's volume coordinates in it.
struct Located {
    int element;
    std::array<double, 4> l;
};

// File positions of the corners of a 10-node element.
constexpr int kCorners[4] = {0, 2, 4, 9};

// The element that holds `at`, found by the volume coordinates of its corners (straight-sided
// elements); exits with a message when no element holds the point. With `nearest`, a point
// outside every element (between a curved wall and its elements' straight sides) takes the
// element it lies least outside of.
Located locate(const mesh_solve::Mesh& mesh, const NodePoint& at, bool nearest = false) {
    Located best{0, {}};
    double bestLeast = -1e300;
    for (int e = 1; e <= mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        NodePoint c[4];
        for (int k = 0; k < 4; ++k)
            c[k] = mesh.nodePosition(nodes[mesh.nodesPerElement() == 4 ? k : kCorners[k]]);
        const double a[3][3] = {{c[1].x - c[0].x, c[2].x - c[0].x, c[3].x - c[0].x},
                                {c[1].y - c[0].y, c[2].y - c[0].y, c[3].y - c[0].y},
                                {c[1].z - c[0].z, c[2].z - c[0].z, c[3].z - c[0].z}};
        const double b[3] = {at.x - c[0].x, at.y - c[0].y, at.z - c[0].z};
        const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                           a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
        std::array<double, 4> l;
        for (int k = 0; k < 3; ++k) {  // Cramer's rule, column k replaced by b
            double m[3][3];
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) m[i][j] = j == k ? b[i] : a[i][j];
            l[k + 1] = (m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                        m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                        m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0])) /
                       det;
        }
        l[0] = 1 - l[1] - l[2] - l[3];
        const double least = std::min({l[0], l[1], l[2], l[3]});
        if (least >= -1e-3) return {e, l};
        if (least > bestLeast) bestLeast = least, best = {e, l};
    }
    if (nearest && best.element) return best;
    cannotCheck("no element holds the point %g %g %g\n", at.x, at.y, at.z);
}

// A node value linear in the element `where` names, from its corners' values by the point's
// volume coordinates.
double cornerInterpolation(const mesh_solve::Mesh& mesh, const std::vector<double>& values,
                           const Located& where) {
    const auto nodes = mesh.elementNodes(where.element);
    double v = 0;
    for (int k = 0; k < 4; ++k)
        v += where.l[k] * values[nodes[mesh.nodesPerElement() == 4 ? k : kCorners[k]] - 1];
    return v;
}

// The finite-element pressure at `at`: the pressure is linear in each element.
double pressureAt(const mesh_solve::Mesh& mesh, const std::vector<double>& pressure, const NodePoint& at) {
    return cornerInterpolation(mesh, pressure, locate(mesh, at));
}

// The quadratic shape functions of the 10-node element that holds `at` (corners l (2 l - 1),
// mid-side nodes 4 li lj), with that element; exits on a linear mesh.
struct QuadraticPoint {
    int element;
    std::array<double, 10> weight;
};

QuadraticPoint quadraticPoint(const mesh_solve::Mesh& mesh, const NodePoint& at, bool nearest = false) {
    if (mesh.nodesPerElement() != 10)
        cannotCheck("the flow is sampled in quadratic elements; this mesh is linear\n");
    const Located where = locate(mesh, at, nearest);
    const auto& l = where.l;
    // Mid-side file positions 1, 3, 5, 6, 7, 8 lie on the edges 0-1, 1-2, 2-0, 0-3, 1-3, 2-3 of
    // the corners in the order of kCorners.
    constexpr int kEdges[6][3] = {{1, 0, 1}, {3, 1, 2}, {5, 2, 0}, {6, 0, 3}, {7, 1, 3}, {8, 2, 3}};
    QuadraticPoint out{where.element, {}};
    for (int k = 0; k < 4; ++k) out.weight[kCorners[k]] = l[k] * (2 * l[k] - 1);
    for (const auto& [position, i, j] : kEdges) out.weight[position] = 4 * l[i] * l[j];
    return out;
}

// The finite-element velocity at `at`, interpolated in the quadratic element that holds it.
std::array<double, 3> velocityAt(const mesh_solve::Mesh& mesh, const std::vector<double>& velocity,
                                 const NodePoint& at) {
    const QuadraticPoint point = quadraticPoint(mesh, at);
    const auto nodes = mesh.elementNodes(point.element);
    std::array<double, 3> u{};
    for (int k = 0; k < 10; ++k)
        for (int a = 0; a < 3; ++a) u[a] += point.weight[k] * velocity[3 * (nodes[k] - 1) + a];
    return u;
}

// The steady flow past a cylinder in a channel of square section at Re = 20 (Schaefer and Turek,
// "Benchmark computations of laminar flow around a cylinder", Notes on Numerical Fluid Mechanics 52,
// 1996, case 3D-1Z): drag coefficient 6.05 to 6.25, lift 0.008 to 0.010, pressure difference
// 0.165 to 0.175 (in its units, rho = 1 kg/m3, Um = 0.45 m/s: scaled here by rho U^2 with U the
// mean speed, 0.2 m/s, so 4.125 to 4.375 times rho U^2). The reference values of the later,
// finer computations lie inside: cD 6.185, cL 0.0094, dp 0.171 (Bayraktar, Mierka and Turek 2012).
int cylinder(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const LoggedFlows logged = readLoggedFlows(argv[2]);
    const auto [face, rho, meanSpeed, diameter, height] = numbers<5>(argv, 3);
    const std::array<double, 3> force = loggedFor(logged.forces, static_cast<int>(face), "force");
    const double dynamic = rho * meanSpeed * meanSpeed;
    const double scale = 2 / (dynamic * diameter * height);
    const results::NodeResults pressure = readQuantity(argv[1], mesh, kKindPressure, 0);
    const double front = pressureAt(mesh, pressure.values, {450, 200, height / 2}),
                 back = pressureAt(mesh, pressure.values, {550, 200, height / 2});
    // The benchmark's pressure difference in its units (rho U^2 = 0.04 N/m2).
    const double dp = (front - back) / dynamic * 0.04;
    within("drag coefficient", scale * force[0], 6.15, 0.1 / 6.15);
    within("lift coefficient", scale * force[1], 0.009, 0.001 / 0.009);
    within("pressure difference", dp, 0.170, 0.005 / 0.170);
    return verdict();
}

// Ghia, Ghia and Shin, "High-Re solutions for incompressible flow using the Navier-Stokes
// equations and a multigrid method", J. Comput. Phys. 48 (1982) 387-411, Tables I and II, Re = 100:
// u/U on the vertical centre line x = L/2 and v/U on the horizontal one y = L/2, at coordinates
// that are fractions of the side L (the lid at y = L moving along +x). Their 129 x 129 second-order
// values are themselves off by up to about 1 % of U at the extrema, hence 2 % of U allowed.
struct ProfilePoint {
    double at, value;
};
constexpr ProfilePoint kGhiaU[] = {
    {0.9766, 0.84123},  {0.9688, 0.78871},  {0.9609, 0.73722},  {0.9531, 0.68717},  {0.8516, 0.23151},
    {0.7344, 0.00332},  {0.6172, -0.13641}, {0.5000, -0.20581}, {0.4531, -0.21090}, {0.2813, -0.15662},
    {0.1719, -0.10150}, {0.1016, -0.06434}, {0.0703, -0.04775}, {0.0625, -0.04192}, {0.0547, -0.03717}};
constexpr ProfilePoint kGhiaV[] = {
    {0.9688, -0.05906}, {0.9609, -0.07391}, {0.9531, -0.08864}, {0.9453, -0.10313}, {0.9063, -0.16914},
    {0.8594, -0.22445}, {0.8047, -0.24533}, {0.5000, 0.05454},  {0.2344, 0.17527},  {0.2266, 0.17507},
    {0.1563, 0.16077},  {0.0938, 0.12317},  {0.0781, 0.10890},  {0.0703, 0.10091},  {0.0625, 0.09233}};

// The square cavity [0, L]^2 as a slab of THICKNESS along z between slip walls, its lid y = L
// moving at SPEED along x: u on x = L/2 and v on y = L/2 at mid-thickness, interpolated in the
// quadratic elements, against Ghia's profiles; every point within TOLERANCE of SPEED.
int cavity(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [side, thickness, speed, tolerance] = numbers<4>(argv);
    const results::NodeResults velocity =
        readQuantity(argv[1], mesh, results::kKindVelocity, results::kItemVector);
    double worst = 0;
    const auto compare = [&](const char* name, const ProfilePoint& point, double got) {
        const double difference = got / speed - point.value;
        const bool held = std::abs(difference) <= tolerance;
        std::printf("%s at %.4f  %9.5f  Ghia %9.5f  difference %+.5f%s\n", name, point.at, got / speed,
                    point.value, difference, held ? "" : "  BEYOND");
        if (!held) {
            std::fprintf(stderr, "%s at %.4f of the side differs from Ghia's %.5f by %+.5f, beyond %g\n",
                         name, point.at, point.value, difference, tolerance);
            allHeld = false;
        }
        worst = std::max(worst, std::abs(difference));
    };
    for (const ProfilePoint& p : kGhiaU)
        compare("u/U on x = L/2, y/L", p,
                velocityAt(mesh, velocity.vectors, {side / 2, p.at * side, thickness / 2})[0]);
    for (const ProfilePoint& p : kGhiaV)
        compare("v/U on y = L/2, x/L", p,
                velocityAt(mesh, velocity.vectors, {p.at * side, side / 2, thickness / 2})[1]);
    below("largest difference / U", worst, 1, tolerance);
    return verdict();
}

// The heat report of a flow that carries heat in the solver's log (its last one): the heat into
// the fluid at each held face (out of it negative), the heat carried in (negative) and out
// (positive) through each opening, the relative imbalance, and each held face's mean Nusselt
// number.
struct LoggedHeat {
    std::vector<std::pair<int, double>> held, carried, nusselt;
    double imbalance = -1;
};

LoggedHeat readLoggedHeat(const char* path) {
    LoggedHeat out;
    const auto set = [](std::vector<std::pair<int, double>>& entries, int face, double value) {
        for (auto& [f, v] : entries)
            if (f == face) return void(v = value);
        entries.push_back({face, value});
    };
    for (const std::string& logged : loggedTexts(path)) {
        const char* text = logged.c_str();
        int face = 0;
        double value = 0;
        char direction[8] = "";
        if (std::sscanf(text, " temperature held on face %d: %lf %7s", &face, &value, direction) == 3)
            set(out.held, face, std::string(direction) == "out" ? -value : value);
        else if (std::sscanf(text, " carried in by the flow through face %d: %lf", &face, &value) == 2)
            set(out.carried, face, -value);
        else if (std::sscanf(text, " carried out by the flow through face %d: %lf", &face, &value) == 2)
            set(out.carried, face, value);
        else if (std::sscanf(text, "mean Nusselt number of face %d: %lf", &face, &value) == 2)
            set(out.nusselt, face, value);
        else if (const char* at = std::strstr(text, "they balance to "))
            out.imbalance = std::atof(at + 16);
    }
    if (out.imbalance < 0) cannotCheck("the solver log %s has no heat balance\n", path);
    return out;
}

// The flow's bulk (flow-weighted mean) temperature over the cross-section z = `z` of the quarter
// x, y >= 0 of a pipe of `radius` about the z axis: u T and u integrated by a polar Gauss rule,
// the fields interpolated in the quadratic elements (extrapolated in the thin gap between the
// wall and its elements' straight sides, where the speed is nearly 0).
double bulkTemperature(const mesh_solve::Mesh& mesh, const std::vector<double>& velocity,
                       const std::vector<double>& temperature, double radius, double z) {
    constexpr int kPoints = 24;
    std::vector<double> node(kPoints), weight(kPoints);
    for (int i = 0; i < kPoints; ++i) {  // Gauss-Legendre on [0, 1] by Newton's method on P_n
        double x = std::cos(std::numbers::pi * (i + 0.75) / (kPoints + 0.5)), derivative = 1;
        for (int k = 0; k < 20; ++k) {
            double p0 = 1, p1 = x;
            for (int n = 2; n <= kPoints; ++n) {
                const double p2 = ((2 * n - 1) * x * p1 - (n - 1) * p0) / n;
                p0 = p1, p1 = p2;
            }
            derivative = kPoints * (x * p1 - p0) / (x * x - 1);
            x -= p1 / derivative;
        }
        node[i] = (1 + x) / 2;
        weight[i] = 1 / ((1 - x * x) * derivative * derivative);
    }
    double flow = 0, heat = 0;
    for (int i = 0; i < kPoints; ++i)
        for (int j = 0; j < kPoints; ++j) {
            const double r = radius * node[i], angle = std::numbers::pi / 2 * node[j];
            const NodePoint at{r * std::cos(angle), r * std::sin(angle), z};
            const QuadraticPoint point = quadraticPoint(mesh, at, true);
            const auto nodes = mesh.elementNodes(point.element);
            double u = 0, t = 0;
            for (int k = 0; k < 10; ++k) {
                u += point.weight[k] * velocity[3 * (nodes[k] - 1) + 2];
                t += point.weight[k] * temperature[nodes[k] - 1];
            }
            flow += weight[i] * weight[j] * r * u;
            heat += weight[i] * weight[j] * r * u * t;
        }
    return heat / flow;
}

// Forced convection in the quarter pipe at a constant wall temperature: the Nusselt number of the
// thermally developed flow from the log-mean rule over the downstream wall face, from the bulk
// temperatures at its two ends, Nu = Pe D / (4 L) ln((Tw - Tb1) / (Tw - Tb2)). The bulk
// temperatures are taken twice: from the solver's heat report (the heat carried in, what the
// inlet and the upstream wall put in, the heat carried out), and from the fields over the two
// cross-sections. 3.657 for a circular pipe (Shah and London), within 2 % each.
int heatpipe(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const LoggedHeat logged = readLoggedHeat(argv[2]);
    const auto [radius, split, length, peclet, inletTemperature, wallTemperature] = numbers<6>(argv, 3);
    const auto [inlet, upstream, downstream, outlet] = numbers<4>(argv, 9);
    const auto face = [](double f) { return static_cast<int>(f); };
    const double carriedIn = -loggedFor(logged.carried, face(inlet), "heat carried through"),
                 carriedOut = loggedFor(logged.carried, face(outlet), "heat carried through"),
                 atInlet = loggedFor(logged.held, face(inlet), "held heat"),
                 atUpstream = loggedFor(logged.held, face(upstream), "held heat"),
                 atDownstream = loggedFor(logged.held, face(downstream), "held heat");
    // The inlet is held at its temperature, so what it carries in is the heat capacity flow times it.
    const double capacityFlow = carriedIn / inletTemperature;
    const double logStart = inletTemperature + (atInlet + atUpstream) / capacityFlow,
                 logEnd = carriedOut / capacityFlow;
    std::printf(
        "heat carried in %.6g, out %.6g; into the fluid at the inlet %.6g, upstream %.6g, "
        "downstream %.6g; imbalance %.2g\n",
        carriedIn, carriedOut, atInlet, atUpstream, atDownstream, logged.imbalance);
    below("heat imbalance", logged.imbalance, 1, 1e-3);
    const double diameter = 2 * radius;
    const auto nusselt = [&](double start, double end, double distance) {
        return peclet * diameter / (4 * distance) *
               std::log((wallTemperature - start) / (wallTemperature - end));
    };
    std::printf("bulk temperatures by the heat report: %.6g at z = %g, %.6g at z = %g\n", logStart, split,
                logEnd, length);
    within("Nu by the heat report", nusselt(logStart, logEnd, length - split), 3.657, 0.02);
    const results::NodeResults velocity =
        readQuantity(argv[1], mesh, results::kKindVelocity, results::kItemVector);
    const results::NodeResults temperature = readQuantity(argv[1], mesh, results::kKindTemperature, 0);
    // The free outlet lets no heat conduct through it, which bends the temperature over a short
    // layer before it (about D / Pe): the fields' second section is a radius short of it.
    const double end = length - radius;
    const double fieldStart = bulkTemperature(mesh, velocity.vectors, temperature.values, radius, split),
                 fieldEnd = bulkTemperature(mesh, velocity.vectors, temperature.values, radius, end);
    std::printf("bulk temperatures by the fields: %.6g at z = %g, %.6g at z = %g\n", fieldStart, split,
                fieldEnd, end);
    within("Nu by the fields", nusselt(fieldStart, fieldEnd, end - split), 3.657, 0.02);
    return verdict();
}

// Natural convection in a cavity between a hot and a cold held face: the hot face's mean Nusselt
// number in the solver's log within TOLERANCE (a fraction) of NUSSELT, the cold face giving the
// same heat back (1e-3 of it), and the heat balanced to 1e-3.
int convection(char** argv) {
    const LoggedHeat logged = readLoggedHeat(argv[0]);
    const auto [hot, cold, expected, tolerance] = numbers<4>(argv, 1);
    const double nusselt = loggedFor(logged.nusselt, static_cast<int>(hot), "Nusselt number");
    within("mean Nusselt number, hot face", nusselt, expected, tolerance);
    within("mean Nusselt number, cold face",
           loggedFor(logged.nusselt, static_cast<int>(cold), "Nusselt number"), nusselt, 1e-3);
    below("heat imbalance", logged.imbalance, 1, 1e-3);
    return verdict();
}

// Haberman and Sayre's wall correction of Stokes's drag for a sphere on the axis of a circular tube
// ("Motion of rigid and fluid spheres in stationary and moving liquids inside cylindrical tubes",
// David Taylor Model Basin report 1143, 1958), `l` the sphere's radius over the tube's.
double tubeWallCorrection(double l) {
    return (1 - 0.75857 * std::pow(l, 5)) /
           (1 - 2.1050 * l + 2.0865 * std::pow(l, 3) - 1.7068 * std::pow(l, 5) + 0.72603 * std::pow(l, 6));
}

int sphere(char** argv) {
    const LoggedFlows logged = readLoggedFlows(argv[0]);
    const auto [face, mu, speed, radius, tube, tolerance] = numbers<6>(argv, 1);
    const std::array<double, 3> force = loggedFor(logged.forces, static_cast<int>(face), "force");
    const double correction = tubeWallCorrection(radius / tube);
    const double drag = 6 * std::numbers::pi * mu * radius * speed * correction;
    std::printf("wall correction K %.5f\n", correction);
    within("drag vs 6 pi mu a U K", force[0], drag, tolerance);
    below("force across the axis", std::hypot(force[1], force[2]), drag, tolerance);
    return verdict();
}

// Nodes closer than this (in the mesh's unit) are one point: far below any element's size.
constexpr double kSamePoint = 1e-9;

// How many nodes of `mesh` lie on a point another node holds too.
int doubledNodes(const mesh_solve::Mesh& mesh) {
    std::vector<NodePoint> points;
    for (int n = 1; n <= mesh.nodeCount(); ++n) points.push_back(mesh.nodePosition(n));
    std::sort(points.begin(), points.end(), [](const NodePoint& a, const NodePoint& b) {
        return std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z);
    });
    int doubled = 0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        // Sorted by x first: a node at the same point as an earlier one may follow nodes of the
        // same x but another y or z, so look back over the run of equal x.
        for (std::size_t j = i; j-- > 0 && points[i].x - points[j].x <= kSamePoint;)
            if (std::abs(points[i].y - points[j].y) <= kSamePoint &&
                std::abs(points[i].z - points[j].z) <= kSamePoint) {
                ++doubled;
                break;
            }
    }
    return doubled;
}

// The block's side of a conjugate run: its largest temperature and largest speed (nodes with
// z up to `height`, the shared face included), and how many nodes lie on the shared plane.
struct BlockSide {
    double peak = -HUGE_VAL, speed = 0, fluidSpeed = 0;
    int onTop = 0;
};

BlockSide blockSide(const char* meshPath, const char* out, double height) {
    const mesh_solve::Mesh mesh = readMesh(meshPath);
    const int doubled = doubledNodes(mesh);
    std::printf("%s: %d nodes, %d of them on a point another node holds\n", meshPath, mesh.nodeCount(),
                doubled);
    if (doubled) allHeld = false;
    const results::NodeResults t = readQuantity(out, mesh, results::kKindTemperature, 0);
    const results::NodeResults u = readQuantity(out, mesh, results::kKindVelocity, results::kItemVector);
    BlockSide b;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const NodePoint p = mesh.nodePosition(n + 1);
        const double speed = std::hypot(u.vectors[3 * n], u.vectors[3 * n + 1], u.vectors[3 * n + 2]);
        if (p.z > height + kSamePoint) {
            b.fluidSpeed = std::max(b.fluidSpeed, speed);
            continue;
        }
        b.peak = std::max(b.peak, t.values[n]);
        b.speed = std::max(b.speed, speed);
        if (std::abs(p.z - height) <= kSamePoint) ++b.onTop;
    }
    return b;
}

int conjugate(char** argv) {
    const auto [height, inlet] = numbers<2>(argv);
    const double tolerance = std::atof(argv[6]);
    const BlockSide coarse = blockSide(argv[0], argv[1], height);
    const BlockSide fine = blockSide(argv[4], argv[5], height);
    for (const BlockSide* b : {&coarse, &fine}) {
        std::printf("block: peak %.6g, largest speed %.3g (the fluid's %.3g), %d nodes on its top\n", b->peak,
                    b->speed, b->fluidSpeed, b->onTop);
        // Every velocity in the block is held at 0, so anything but 0 is a fault, not round-off.
        if (!(b->speed == 0 && b->fluidSpeed > 0 && b->onTop > 0)) allHeld = false;
    }
    within("peak rise, against the finer mesh", coarse.peak - inlet, fine.peak - inlet, tolerance);
    return verdict();
}

// The gas flows: the model in mm, pressures in N/mm2, temperatures in C, speeds in mm/s and the
// result file's densities in kg/mm3. The closed forms take the consistent units of mm, N and s,
// in which densities are in t/mm3.

constexpr double kKilogramsPerTonne = 1e3;

struct GasModel {
    double gamma = 1.4, r = 287.05;  // r in J/(kg K), 1e6 times its value in mm2/(s2 K)

    double kelvin(double celsius) const { return celsius + 273.15; }
    // In t/mm3.
    double density(double p, double celsius) const { return p / (1e6 * r * kelvin(celsius)); }
    double soundSpeed(double celsius) const { return 1e3 * std::sqrt(gamma * r * kelvin(celsius)); }
};

struct GasFields {
    results::NodeResults velocity, pressure, temperature, density, mach;
};

// The nodes that are corners of an element: the solver's own values (mid-side nodes of a quadratic
// mesh take the mean of their edge's corners, which no equation of state holds at).
std::vector<int> cornerNodes(const mesh_solve::Mesh& mesh) {
    std::vector<char> corner(static_cast<std::size_t>(mesh.nodeCount()), 0);
    for (int e = 1; e <= mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        for (int k = 0; k < 4; ++k) corner[nodes[mesh.nodesPerElement() == 4 ? k : kCorners[k]] - 1] = 1;
    }
    std::vector<int> out;
    for (int n = 0; n < mesh.nodeCount(); ++n)
        if (corner[n]) out.push_back(n);
    return out;
}

// The fields of block `step`, held against each other at every corner node first: the density
// against p / (R T) and the Mach number against |u| / a, both to 1e-6 (the file's nine digits
// leave far less), so that a block in the wrong unit or of the wrong quantity fails before any
// closed form is asked.
GasFields readGasFields(const char* out, const mesh_solve::Mesh& mesh, int step, const GasModel& gas) {
    GasFields f{readQuantity(out, mesh, results::kKindVelocity, results::kItemVector, step),
                readQuantity(out, mesh, kKindPressure, 0, step),
                readQuantity(out, mesh, results::kKindTemperature, 0, step),
                readQuantity(out, mesh, results::kKindDensity, 0, step),
                readQuantity(out, mesh, results::kKindMach, 0, step)};
    double densityError = 0, machError = 0;
    for (const int n : cornerNodes(mesh)) {
        const double t = f.temperature.values[n], *u = &f.velocity.vectors[3 * n];
        const double rho = gas.density(f.pressure.values[n], t) * kKilogramsPerTonne;
        densityError = std::max(densityError, std::abs(f.density.values[n] / rho - 1));
        machError = std::max(machError,
                             std::abs(f.mach.values[n] - std::hypot(u[0], u[1], u[2]) / gas.soundSpeed(t)));
    }
    below("density / (p / (R T)) - 1", densityError, 1, 1e-6);
    below("Mach number - |u| / a", machError, 1, 1e-6);
    return f;
}

std::vector<double> component(const std::vector<double>& vectors, int axis) {
    std::vector<double> out(vectors.size() / 3);
    for (std::size_t n = 0; n < out.size(); ++n) out[n] = vectors[3 * n + axis];
    return out;
}

struct MeshBox {
    NodePoint low{HUGE_VAL, HUGE_VAL, HUGE_VAL}, high{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    double length() const { return high.x - low.x; }
    double midZ() const { return (low.z + high.z) / 2; }
};

MeshBox boxOf(const mesh_solve::Mesh& mesh) {
    MeshBox b;
    for (int n = 1; n <= mesh.nodeCount(); ++n) {
        const NodePoint p = mesh.nodePosition(n);
        b.low = {std::min(b.low.x, p.x), std::min(b.low.y, p.y), std::min(b.low.z, p.z)};
        b.high = {std::max(b.high.x, p.x), std::max(b.high.y, p.y), std::max(b.high.z, p.z)};
    }
    return b;
}

// Points about `spacing` apart along x from `from` to `to` at (y, z), each with the element that
// holds it (a point on a wall may lie a hair outside every element: it takes the nearest).
struct AlongX {
    std::vector<double> x;
    std::vector<Located> where;
};

AlongX samplesAlongX(const mesh_solve::Mesh& mesh, double from, double to, double y, double z,
                     double spacing) {
    AlongX s;
    const int count = std::max(2, static_cast<int>(std::lround((to - from) / spacing)) + 1);
    for (int i = 0; i < count; ++i) {
        s.x.push_back(from + (to - from) * i / (count - 1));
        s.where.push_back(locate(mesh, {s.x.back(), y, z}, true));
    }
    return s;
}

// The profile of node values linear in the elements (the gas solver's are) at those points,
// divided by `unit`.
Profile profileAlong(const mesh_solve::Mesh& mesh, const AlongX& s, const std::vector<double>& values,
                     double unit = 1) {
    Profile p{s.x, {}};
    for (const Located& w : s.where) p.value.push_back(cornerInterpolation(mesh, values, w) / unit);
    return p;
}

// Prints a place or angle against the expected one and notes whether they differ by at most
// `allowed`; a feature the profile does not show fails.
void near(const char* what, std::optional<double> got, double expected, double allowed) {
    if (!got) {
        std::printf("%-32s not found  expected %12.6g\n", what, expected);
        allHeld = false;
        return;
    }
    std::printf("%-32s %12.6g  expected %12.6g  (off by %.3g, allowed %g)\n", what, *got, expected,
                std::abs(*got - expected), allowed);
    if (!(std::abs(*got - expected) <= allowed)) allHeld = false;
}

// Prints an error on two meshes and notes whether it fell on the finer one.
void fell(const char* what, double coarse, double fine) {
    std::printf("%-32s %12.6g  on the coarser mesh %12.6g  (ratio %.3f)\n", what, fine, coarse,
                fine / coarse);
    if (!(fine < coarse)) allHeld = false;
}

// The errors of one run of a shock tube: the L1 errors along its axis against the exact solution,
// of the density, velocity and pressure relative to the left state's density, the star
// velocity and the left state's pressure.
struct TubeErrors {
    double rho = 0, u = 0, p = 0;
};

struct ShockTube {
    GasModel gas;
    ExactRiemann exact;
    GasPoint left;
    double diaphragm, time;
    int step;
};

TubeErrors shockTubeRun(const char* meshPath, const char* out, double size, const ShockTube& tube) {
    const mesh_solve::Mesh mesh = readMesh(meshPath);
    std::printf("%s, cells of %g:\n", meshPath, size);
    const GasFields f = readGasFields(out, mesh, tube.step, tube.gas);
    const MeshBox box = boxOf(mesh);
    // Two points a cell along the axis.
    const AlongX axis =
        samplesAlongX(mesh, box.low.x, box.high.x, (box.low.y + box.high.y) / 2, box.midZ(), size / 2);
    const Profile rho = profileAlong(mesh, axis, f.density.values, kKilogramsPerTonne),
                  u = profileAlong(mesh, axis, component(f.velocity.vectors, 0)),
                  p = profileAlong(mesh, axis, f.pressure.values);
    const auto exact = [&](double x) { return tube.exact.at((x - tube.diaphragm) / tube.time); };
    const TubeErrors e{meanError(rho, [&](double x) { return exact(x).rho; }) / tube.left.rho,
                       meanError(u, [&](double x) { return exact(x).u; }) / tube.exact.uStar(),
                       meanError(p, [&](double x) { return exact(x).p; }) / tube.left.p};
    std::printf("L1 errors along the axis: density %.4g, velocity %.4g, pressure %.4g\n", e.rho, e.u, e.p);
    // The shock runs into the low pressure and the contact follows it, both right of the
    // diaphragm; the contact is the steepest fall of the density behind the shock (the pressure
    // and velocity do not change across it).
    constexpr std::size_t kSpan = 6;  // three cells
    const std::optional<double> shock = jumpPosition(p, -1, kSpan, tube.diaphragm, box.high.x);
    const std::optional<double> contact =
        shock ? jumpPosition(rho, -1, kSpan, tube.diaphragm, *shock - 2 * size) : std::nullopt;
    near("shock's place", shock, tube.diaphragm + tube.exact.rightShockSpeed() * tube.time, 2 * size);
    near("contact's place", contact, tube.diaphragm + tube.exact.contactSpeed() * tube.time, 2 * size);
    return e;
}

// A shock tube whose diaphragm at x = DIAPHRAGM parts the states (PLEFT, TLEFT) and (PRIGHT,
// TRIGHT) at rest, after TIME: the profiles along its axis (the middle of the mesh's section) in
// block STEP against the exact solution of the Riemann problem. Each mesh's shock and contact
// within two of its cells of their exact places; the L1 errors of density, velocity and pressure
// smaller on the finer mesh.
int shocktube(char** argv) {
    const auto [gamma, r, pLeft, tLeft, pRight, tRight, diaphragm, time] = numbers<8>(argv, 6);
    const GasModel gas{gamma, r};
    const GasPoint left{gas.density(pLeft, tLeft), 0, pLeft}, right{gas.density(pRight, tRight), 0, pRight};
    const ShockTube tube{gas, ExactRiemann(left, right, gamma), left, diaphragm, time, std::atoi(argv[14])};
    const TubeErrors coarse = shockTubeRun(argv[0], argv[1], std::atof(argv[2]), tube);
    const TubeErrors fine = shockTubeRun(argv[3], argv[4], std::atof(argv[5]), tube);
    fell("L1 error of the density", coarse.rho, fine.rho);
    fell("L1 error of the velocity", coarse.u, fine.u);
    fell("L1 error of the pressure", coarse.p, fine.p);
    return verdict();
}

// A plane nozzle along x (the mesh's x range) of height h(x) = THROAT (1 + CURVATURE (x -
// THROATX)^2) above its symmetry plane (the mesh's lowest y), at the total pressure TOTAL at its
// inlet and the static pressure EXIT at its exit. The one-dimensional theory decides the flow:
// subsonic throughout, the Mach number and pressure at ten stations along the axis within 2 %
// of the area-Mach relation (the sonic area from the exit's Mach number); or choked with a normal
// shock in the diverging part, its place (the steepest rise of the pressure along the axis)
// within 3 % of the length of the theory's.
int nozzle(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [size, gamma, r, total, exitPressure, throatX, throat, curvature] = numbers<8>(argv);
    const GasFields f = readGasFields(argv[1], mesh, 1, {gamma, r});
    const MeshBox box = boxOf(mesh);
    const auto height = [&](double x) { return throat * (1 + curvature * (x - throatX) * (x - throatX)); };
    const double exitRatio = height(box.high.x) / throat, ratio = exitPressure / total;
    const double subsonicLimit = pressureRatio(machOfAreaRatio(exitRatio, gamma, false), gamma),
                 shockAtExit = exitPressureWithShock(exitRatio, exitRatio, gamma);
    if (ratio >= subsonicLimit) {
        const double exitMach = machOfPressureRatio(ratio, gamma);
        const double sonic = height(box.high.x) / areaRatio(exitMach, gamma);
        std::printf("subsonic throughout (exit over total pressure %.4g, above %.4g): sonic height %.4g\n",
                    ratio, subsonicLimit, sonic);
        const double length = box.length();
        const AlongX stations = samplesAlongX(mesh, box.low.x + length / 20, box.high.x - length / 20,
                                              box.low.y, box.midZ(), length / 10);
        const Profile mach = profileAlong(mesh, stations, f.mach.values),
                      pressure = profileAlong(mesh, stations, f.pressure.values);
        for (std::size_t i = 0; i < stations.x.size(); ++i) {
            const double expected = machOfAreaRatio(height(stations.x[i]) / sonic, gamma, false);
            const std::string at = " at x = " + std::to_string(std::lround(stations.x[i]));
            within(("Mach number" + at).c_str(), mach.value[i], expected, 0.02);
            within(("pressure" + at).c_str(), pressure.value[i], total * pressureRatio(expected, gamma),
                   0.02);
        }
        return verdict();
    }
    if (ratio <= shockAtExit)
        cannotCheck("exit over total pressure %g is at or below %g: no shock stands inside the nozzle\n",
                    ratio, shockAtExit);
    const double shockX = throatX + std::sqrt((shockAreaRatio(ratio, exitRatio, gamma) - 1) / curvature);
    std::printf(
        "a normal shock in the diverging part (exit over total pressure %.4g, between %.4g and %.4g)\n",
        ratio, shockAtExit, subsonicLimit);
    const AlongX axis = samplesAlongX(mesh, throatX, box.high.x, box.low.y, box.midZ(), size / 2);
    near("shock's place",
         jumpPosition(profileAlong(mesh, axis, f.pressure.values), 1, 6, throatX, box.high.x), shockX,
         0.03 * box.length());
    return verdict();
}

// A stream at Mach number MACH along x over a ramp of RAMP degrees whose foot lies at x = FOOT on
// the floor (the mesh's lowest y): the oblique shock's trace, where the pressure crosses the mean
// of its levels before and after the steepest rise along lines across the shock at mid-depth,
// fitted by a straight line; its angle within half a degree of the theta-beta-M relation. The
// lines lie at tenths of the height whose shock, by the relation, stands four cells clear of the
// inflow and of the ramp or the outflow, whichever the line meets first.
int wedge(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const auto [size, gamma, r, mach, ramp, foot] = numbers<6>(argv);
    const GasFields f = readGasFields(argv[1], mesh, 1, {gamma, r});
    const MeshBox box = boxOf(mesh);
    const double degree = std::numbers::pi / 180, theta = ramp * degree;
    const double beta = obliqueShockAngle(mach, theta, gamma);
    if (std::isnan(beta))
        cannotCheck("a ramp of %g degrees detaches the shock of a Mach %g stream\n", ramp, mach);
    std::vector<double> heights, places;
    for (int k = 1; k < 10; ++k) {
        const double y = box.low.y + (box.high.y - box.low.y) * k / 10;
        const double end = std::min(box.high.x, foot + (y - box.low.y) / std::tan(theta)) - size;
        const double expected = foot + (y - box.low.y) / std::tan(beta);
        if (expected < box.low.x + 4 * size || expected > end - 4 * size) continue;
        const AlongX line = samplesAlongX(mesh, box.low.x, end, y, box.midZ(), size / 2);
        const auto crossing = jumpPosition(profileAlong(mesh, line, f.pressure.values), 1, 6, box.low.x, end);
        if (!crossing) {
            std::printf("no rise of the pressure along y = %g\n", y);
            allHeld = false;
            continue;
        }
        std::printf("shock at y = %-6g x = %9.4f  (theta-beta-M's %9.4f)\n", y, *crossing, expected);
        heights.push_back(y), places.push_back(*crossing);
    }
    if (heights.size() < 3)
        cannotCheck("the shock crosses %zu lines; at least three are needed\n", heights.size());
    const FittedLine trace = fittedLine(heights, places);
    near("shock angle (degrees)", std::atan2(1, trace.slope) / degree, beta / degree, 0.5);
    return verdict();
}

// The force on FACE in the solver's log over the dynamic pressure of the free stream (PRESSURE,
// MACH) times AREA.
std::array<double, 3> forceCoefficients(const char* slog, int face, double gamma, double pressure,
                                        double mach, double area) {
    const std::array<double, 3> force = loggedFor(readLoggedFlows(slog).forces, face, "force");
    const double scale = 0.5 * gamma * pressure * mach * mach * area;
    return {force[0] / scale, force[1] / scale, force[2] / scale};
}

// Steady inviscid subsonic flow along x round the half y >= 0 of a body (its face FACE, its frontal
// area AREA), cut by its plane of symmetry y = 0, has no drag (the force across the plane is the
// half body's own, no lift). Its drag coefficient is below BOUND. With FINESLOG, the same flow on a
// finer mesh: the bound holds there, and the finer drag is no larger than the difference between
// the two meshes' drags, the estimate of the finer mesh's discretisation error: what drag is left
// is the scheme's spurious entropy, which falls with the cells.
int drag(char** argv, const char* finer = nullptr) {
    const auto [face, gamma, pressure, mach, area, bound] = numbers<6>(argv, 1);
    const auto dragOf = [&](const char* slog) {
        return forceCoefficients(slog, static_cast<int>(face), gamma, pressure, mach, area)[0];
    };
    const double coarse = dragOf(argv[0]);
    if (!finer) {
        below("drag coefficient", std::abs(coarse), 1, bound);
        return verdict();
    }
    const double fine = dragOf(finer);
    std::printf("drag coefficient %.4g, on the finer mesh %.4g\n", coarse, fine);
    below("drag coefficient, finer mesh", std::abs(fine), 1, bound);
    below("drag coefficient, finer mesh, against the difference between the meshes", std::abs(fine), 1,
          std::abs(coarse - fine));
    return verdict();
}

int dump(char** argv) {
    const mesh_solve::Mesh mesh = readMesh(argv[0]);
    const int kind = std::atoi(argv[2]), item = std::atoi(argv[3]);
    const results::NodeResults r = readQuantity(argv[1], mesh, kind, item, std::atoi(argv[4]));
    if (kind == results::kKindModeShape) std::printf("mode %.9g\n", r.modeValue);
    for (int n = 0; n < mesh.nodeCount(); ++n)
        if (item == results::kItemVector)
            std::printf("%d %.9g %.9g %.9g\n", n + 1, r.vectors[3 * n], r.vectors[3 * n + 1],
                        r.vectors[3 * n + 2]);
        else
            std::printf("%d %.9g\n", n + 1, r.values[n]);
    return 0;
}

// Each check with the number of its arguments (MESH and OUT included), as the header lists them.
struct Check {
    const char* name;
    int arguments;
    int (*run)(char**);
};
constexpr Check kChecks[] = {{"dump", 5, dump},
                             {"cantilever", 8, [](char** a) { return cantilever(a); }},
                             {"gap", 9, gap},
                             {"modes", 7, modes},
                             {"buckling", 7, buckling},
                             {"slab", 7, slab},
                             {"transient", 12, transient},
                             {"hole", 5, hole},
                             {"adaptivehole", 8, adaptiveHole},
                             {"adaptivecorner", 7, adaptiveCorner},
                             {"tube", 7, [](char** a) { return tube(a); }},
                             {"tube", 8, [](char** a) { return tube(a, true); }},
                             {"assembly", 6, assembly},
                             {"dynamic", 12, dynamic},
                             {"decay", 9, decay},
                             {"orthobar", 10, orthobar},
                             {"plasticbar", 8, plasticbar},
                             {"poiseuille", 8, poiseuille},
                             {"startup", 10, startup},
                             {"cylinder", 8, cylinder},
                             {"sphere", 7, sphere},
                             {"cavity", 6, cavity},
                             {"conjugate", 7, conjugate},
                             {"heatpipe", 13, heatpipe},
                             {"convection", 5, convection},
                             {"thermtube", 8, thermtube},
                             {"heldbar", 8, heldbar},
                             {"suddenbar", 12, suddenbar},
                             {"elastica", 7, [](char** a) { return elastica(a); }},
                             {"elastica", 8, [](char** a) { return elastica(a, std::atof(a[7])); }},
                             {"shocktube", 15, shocktube},
                             {"nozzle", 10, nozzle},
                             {"wedge", 8, wedge},
                             {"drag", 7, [](char** a) { return drag(a); }},
                             {"drag", 8, [](char** a) { return drag(a, a[7]); }}};

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    for (const Check& check : kChecks)
        if (what == check.name && argc == check.arguments + 2) return check.run(argv + 2);
    std::fprintf(stderr, "usage: tarvsolv-check-results CHECK ARGUMENTS..., CHECK one of:");
    for (const Check& check : kChecks) std::fprintf(stderr, " %s (%d)", check.name, check.arguments);
    std::fprintf(stderr, "\n(the arguments of each are listed at the top of check_results.cpp)\n");
    return 2;
}
