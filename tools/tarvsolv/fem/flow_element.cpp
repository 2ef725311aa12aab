#include "fem/flow_element.h"

#include "fem/element_kernels.h"
#include "fem/quadrature.h"

namespace tarvsolv {
namespace {

constexpr int kNodes = 10, kVelocities = 30;

// The linear (pressure) shape functions at a reference point: the corners' volume coordinates.
std::array<double, 4> linearShape(const std::array<double, 3>& xi) {
    return {1 - xi[0] - xi[1] - xi[2], xi[0], xi[1], xi[2]};
}

}  // namespace

void flowElement(const FeMesh& mesh, int element, const FlowCoefficients& c, std::span<const double> state,
                 std::span<const double> history, const std::function<Vec3(const Vec3&)>* acceleration,
                 std::vector<double>& residual, std::vector<double>* jacobian) {
    constexpr int n = kFlowElementDofs;
    residual.assign(n, 0.0);
    if (jacobian) jacobian->assign(n * n, 0.0);
    const double rho = c.density, inertia = c.convection * c.density, mu = c.viscosity;
    for (const QuadPoint& q : tetRule(5)) {
        const VolumePoint g = volumePoint(mesh, element, q.xi, q.weight);
        const std::array<double, 4> l = linearShape(q.xi);
        double u[3] = {}, grad[3][3] = {}, rate[3] = {}, p = 0;  // grad[a][b] = d u_a / d x_b
        for (int i = 0; i < kNodes; ++i)
            for (int a = 0; a < 3; ++a) {
                const double v = state[3 * i + a];
                u[a] += g.n[i] * v;
                for (int b = 0; b < 3; ++b) grad[a][b] += g.dx[i][b] * v;
                if (!history.empty()) rate[a] += g.n[i] * history[3 * i + a];
            }
        for (int k = 0; k < 4; ++k) p += l[k] * state[kVelocities + k];
        const Vec3 f = acceleration ? (*acceleration)(g.x) : Vec3{};
        const double divergence = grad[0][0] + grad[1][1] + grad[2][2];
        double force[3];  // the point's inertia less its body force, per volume
        for (int a = 0; a < 3; ++a)
            force[a] = rho * (c.timeFactor * u[a] + rate[a] - f[a]) +
                       inertia * (u[0] * grad[a][0] + u[1] * grad[a][1] + u[2] * grad[a][2]);
        const double w = g.weight;
        for (int i = 0; i < kNodes; ++i)
            for (int a = 0; a < 3; ++a)
                residual[3 * i + a] +=
                    w * (g.n[i] * force[a] +
                         mu * (grad[a][0] * g.dx[i][0] + grad[a][1] * g.dx[i][1] + grad[a][2] * g.dx[i][2]) -
                         p * g.dx[i][a]);
        for (int k = 0; k < 4; ++k) residual[kVelocities + k] -= w * l[k] * divergence;
        if (!jacobian) continue;
        std::vector<double>& jac = *jacobian;
        for (int i = 0; i < kNodes; ++i)
            for (int j = 0; j < kNodes; ++j) {
                const double advected = u[0] * g.dx[j][0] + u[1] * g.dx[j][1] + u[2] * g.dx[j][2];
                const double diffusion =
                    g.dx[i][0] * g.dx[j][0] + g.dx[i][1] * g.dx[j][1] + g.dx[i][2] * g.dx[j][2];
                const double same =
                    w * (rho * c.timeFactor * g.n[i] * g.n[j] + inertia * g.n[i] * advected + mu * diffusion);
                for (int a = 0; a < 3; ++a) {
                    double* row = &jac[(3 * i + a) * n + 3 * j];
                    row[a] += same;
                    for (int b = 0; b < 3; ++b) row[b] += w * inertia * g.n[i] * g.n[j] * grad[a][b];
                }
            }
        for (int i = 0; i < kNodes; ++i)
            for (int a = 0; a < 3; ++a)
                for (int k = 0; k < 4; ++k) {
                    const double b = -w * l[k] * g.dx[i][a];
                    jac[(3 * i + a) * n + kVelocities + k] += b;
                    jac[(kVelocities + k) * n + 3 * i + a] += b;
                }
    }
}

void pressureMass(const FeMesh& mesh, int element, double scale, std::vector<double>& me) {
    me.assign(16, 0.0);
    for (const QuadPoint& q : tetRule(5)) {
        const VolumePoint g = volumePoint(mesh, element, q.xi, q.weight);
        const std::array<double, 4> l = linearShape(q.xi);
        for (int k = 0; k < 4; ++k)
            for (int m = 0; m < 4; ++m) me[4 * k + m] += scale * g.weight * l[k] * l[m];
    }
}

}  // namespace tarvsolv
