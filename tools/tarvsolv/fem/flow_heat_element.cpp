#include "fem/flow_heat_element.h"

#include <cmath>

#include "fem/element_kernels.h"
#include "fem/quadrature.h"

namespace tarvsolv {
namespace {

constexpr int kNodes = 10, kVelocities = 30;

// Half the edge of the regular tetrahedron of the element's volume: the spacing of its nodes.
double nodeSpacing(const FeMesh& mesh, int element) {
    double volume = 0;
    for (const QuadPoint& q : tetRule(2)) volume += volumePoint(mesh, element, q.xi, q.weight).weight;
    return 0.5 * std::cbrt(6 * std::sqrt(2.0) * volume);
}

// The streamline parameter at speed s, h / (2 s) (1 - 1/Pe) = h / (2 s) - alpha / s^2, and its
// derivative by s: 0 while the element Peclet number is at most 1.
struct Streamline {
    double tau = 0, slope = 0;
};

Streamline streamlineTau(double speed, double spacing, double diffusivity) {
    if (speed <= 0 || diffusivity <= 0 || speed * spacing <= 2 * diffusivity) return {};
    return {spacing / (2 * speed) - diffusivity / (speed * speed),
            -spacing / (2 * speed * speed) + 2 * diffusivity / (speed * speed * speed)};
}

}  // namespace

void flowHeatElement(const FeMesh& mesh, int element, const FlowHeatCoefficients& c,
                     std::span<const double> state, std::span<const double> history,
                     const std::function<Vec3(const Vec3&)>* acceleration,
                     const std::function<double(const Vec3&)>* heat, std::vector<double>& residual,
                     std::vector<double>* jacobian) {
    constexpr int n = kFlowHeatElementDofs;
    residual.assign(n, 0.0);
    if (jacobian) jacobian->assign(n * n, 0.0);
    const double spacing = nodeSpacing(mesh, element);
    const double capacity = c.heatCapacity, advecting = c.convection * c.heatCapacity;
    const double diffusivity = capacity > 0 ? c.conductivity / capacity : 0;
    for (const QuadPoint& q : tetRule(5)) {
        const VolumePoint g = volumePoint(mesh, element, q.xi, q.weight);
        double u[3] = {}, t = 0, gradT[3] = {}, rate = 0;
        for (int i = 0; i < kNodes; ++i) {
            const double ti = state[kVelocities + i];
            t += g.n[i] * ti;
            for (int a = 0; a < 3; ++a) {
                u[a] += g.n[i] * state[3 * i + a];
                gradT[a] += g.dx[i][a] * ti;
            }
            if (!history.empty()) rate += g.n[i] * history[i];
        }
        const Vec3 f = acceleration ? (*acceleration)(g.x) : Vec3{};
        const double source = heat ? (*heat)(g.x) : 0;
        const double w = g.weight;
        const double advected = u[0] * gradT[0] + u[1] * gradT[1] + u[2] * gradT[2];
        // The strong residual of the energy equation less its conduction term.
        const double strong = capacity * (c.timeFactor * t + rate) + advecting * advected - source;
        const double speed = c.convection * std::hypot(u[0], u[1], u[2]);
        const Streamline sl = streamlineTau(speed, spacing, diffusivity);
        const double tau = sl.tau;
        double streamline[kNodes];  // u.grad w of each node's test function, times the share
        for (int i = 0; i < kNodes; ++i)
            streamline[i] = c.convection * (u[0] * g.dx[i][0] + u[1] * g.dx[i][1] + u[2] * g.dx[i][2]);
        const double buoyancy = c.density * c.expansion * (t - c.reference);
        for (int i = 0; i < kNodes; ++i) {
            for (int a = 0; a < 3; ++a) residual[3 * i + a] += w * g.n[i] * buoyancy * f[a];
            const double conduction = gradT[0] * g.dx[i][0] + gradT[1] * g.dx[i][1] + gradT[2] * g.dx[i][2];
            residual[kVelocities + i] +=
                w * (g.n[i] * strong + c.conductivity * conduction + tau * streamline[i] * strong);
        }
        if (!jacobian) continue;
        std::vector<double>& jac = *jacobian;
        for (int i = 0; i < kNodes; ++i) {
            const double test = g.n[i] + tau * streamline[i];
            double* energy = &jac[(kVelocities + i) * n];
            for (int j = 0; j < kNodes; ++j) {
                // d/dT_j
                const double advectedJ = u[0] * g.dx[j][0] + u[1] * g.dx[j][1] + u[2] * g.dx[j][2];
                const double conduction =
                    g.dx[i][0] * g.dx[j][0] + g.dx[i][1] * g.dx[j][1] + g.dx[i][2] * g.dx[j][2];
                energy[kVelocities + j] +=
                    w * (test * (capacity * c.timeFactor * g.n[j] + advecting * advectedJ) +
                         c.conductivity * conduction);
                // d/du_j,b: the advection, the streamline test function's own dependence on u, and
                // tau's through the speed (d s / d u_b = convection^2 u_b / s)
                for (int b = 0; b < 3; ++b) {
                    const double dTau = speed > 0 ? sl.slope * c.convection * c.convection * u[b] / speed : 0;
                    energy[3 * j + b] +=
                        w * g.n[j] *
                        (test * advecting * gradT[b] + tau * c.convection * g.dx[i][b] * strong +
                         dTau * streamline[i] * strong);
                }
                // the buoyancy's d/dT_j
                for (int a = 0; a < 3; ++a)
                    jac[(3 * i + a) * n + kVelocities + j] +=
                        w * g.n[i] * g.n[j] * c.density * c.expansion * f[a];
            }
        }
    }
}

}  // namespace tarvsolv
