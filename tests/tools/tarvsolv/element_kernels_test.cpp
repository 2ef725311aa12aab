// Integration rules and element kernels of the tetrahedra. The shape functions are checked through
// them: rigid motions cost nothing only if they sum to one, and a quadratic node taking another's
// function bends every end-to-end run's mesh out of shape.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <numeric>

#include "fem/box_mesh.h"
#include "fem/element_kernels.h"
#include "fem/quadrature.h"

namespace tarvsolv {
namespace {

double factorial(int n) {
    return n <= 1 ? 1.0 : n * factorial(n - 1);
}

// Every monomial x^a y^b z^c up to `degree` in the `dimension` coordinates of the reference simplex,
// integrated by `rule`: a! b! c! / (a + b + c + dimension)!.
void expectMonomialsExact(const std::vector<QuadPoint>& rule, int dimension, int degree) {
    for (int a = 0; a <= degree; ++a)
        for (int b = 0; a + b <= degree && (b == 0 || dimension > 1); ++b)
            for (int c = 0; a + b + c <= degree && (c == 0 || dimension > 2); ++c) {
                double sum = 0;
                for (const QuadPoint& q : rule)
                    sum += q.weight * std::pow(q.xi[0], a) * std::pow(q.xi[1], b) * std::pow(q.xi[2], c);
                EXPECT_NEAR(
                    sum, factorial(a) * factorial(b) * factorial(c) / factorial(a + b + c + dimension), 1e-14)
                    << dimension << "-D rule of degree " << degree << ": " << a << b << c;
            }
}

TEST(Quadrature, TetrahedronTriangleAndLineRulesIntegrateMonomialsUpToTheirDegree) {
    for (int degree : {1, 2, 5}) expectMonomialsExact(tetRule(degree), 3, degree);
    for (int degree : {2, 5}) expectMonomialsExact(triangleRule(degree), 2, degree);
    expectMonomialsExact(lineRule(), 1, 5);
}

FeMesh distortedElement(bool quadratic) {
    FeMesh mesh = makeBoxMesh({{}, {1, 1, 1}, 1, 1, 1, quadratic});
    // Keep one element with its own nodes only, and bend it a little (curved mid-side nodes).
    FeMesh one;
    one.nodesPerElement = mesh.nodesPerElement;
    for (int n : mesh.elementNodes(2)) {
        one.conn.push_back(one.nodeCount());
        const Vec3 p = mesh.node(n);
        for (double v : {p.x + 0.05 * p.y * p.y, p.y + 0.1 * p.z, p.z + 0.03 * p.x * p.x})
            one.xyz.push_back(v);
    }
    return one;
}

// On a distorted element: the stiffness is symmetric and rigid motions cost no energy; a
// displacement field of uniform strain gives the exact stress at every corner; and the element
// mass adds up to the element's volume times the density.
TEST(ElementKernels, RigidMotionsCostNothingUniformStrainGivesExactStressesAndMassAddsUp) {
    for (bool quadratic : {false, true}) {
        const FeMesh mesh = distortedElement(quadratic);
        std::vector<double> ke;
        elasticStiffness(mesh, 0, {1000, 0.3, 0, 0}, ke);
        const int n = 3 * mesh.nodesPerElement;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) EXPECT_NEAR(ke[i * n + j], ke[j * n + i], 1e-9);
        for (int mode = 0; mode < 6; ++mode) {
            std::vector<double> u(n);
            for (int k = 0; k < mesh.nodesPerElement; ++k) {
                const Vec3 p = mesh.node(k);
                const Vec3 rotation[3] = {{0, -p.z, p.y}, {p.z, 0, -p.x}, {-p.y, p.x, 0}};
                const Vec3 v = mode < 3 ? Vec3{mode == 0 ? 1.0 : 0, mode == 1 ? 1.0 : 0, mode == 2 ? 1.0 : 0}
                                        : rotation[mode - 3];
                for (int a = 0; a < 3; ++a) u[3 * k + a] = v[a];
            }
            for (int i = 0; i < n; ++i) {
                double force = 0;
                for (int j = 0; j < n; ++j) force += ke[i * n + j] * u[j];
                EXPECT_NEAR(force, 0.0, 1e-9) << "mode " << mode;
            }
        }
        const IsotropicElastic m{200000, 0.25, 1e-5, 8e-9};
        std::vector<double> u(n);
        for (int k = 0; k < mesh.nodesPerElement; ++k) {
            const Vec3 p = mesh.node(k);
            u[3 * k] = 1e-3 * p.x + 2e-4 * p.y;
            u[3 * k + 1] = 2e-4 * p.x;
            u[3 * k + 2] = -5e-4 * p.z;
        }
        const double lambda = 200000 * 0.25 / (1.25 * 0.5), mu = 200000 / 2.5;
        const double trace = 1e-3 - 5e-4;
        const double exact[6] = {
            lambda * trace + 2 * mu * 1e-3, lambda * trace, lambda * trace - 2 * mu * 5e-4, mu * 4e-4, 0, 0};
        std::vector<double> noTemperature;
        for (const Stress6& s : cornerStresses(mesh, 0, m, u, noTemperature))
            for (int c = 0; c < 6; ++c) EXPECT_NEAR(s[c], exact[c], 1e-6) << "component " << c;
        std::vector<double> me;
        consistentMass(mesh, 0, 2.0, me);
        double volume = 0;
        for (const VolumePoint& g : volumePoints(mesh, 0, 5)) volume += g.weight;
        EXPECT_NEAR(std::accumulate(me.begin(), me.end(), 0.0), 3 * 2.0 * volume, 1e-12);
    }
}

TEST(ElementKernels, BoundaryFacesPointOutwardAndMeasureTheirArea) {
    for (bool quadratic : {false, true}) {
        const FeMesh mesh = makeBoxMesh({{}, {2, 3, 4}, 2, 2, 2, quadratic});
        double area[7] = {};
        for (const Facet& f : mesh.facets) {
            for (const BoundaryPoint& p : facePoints(mesh, f)) {
                area[f.tag] += p.measure;
                const int axis = (f.tag - 1) / 2;
                const double outward = f.tag % 2 ? -1.0 : 1.0;
                EXPECT_NEAR(p.normal[axis], outward, 1e-12) << "side " << f.tag;
            }
        }
        EXPECT_NEAR(area[1], 12.0, 1e-12);
        EXPECT_NEAR(area[4], 8.0, 1e-12);
        EXPECT_NEAR(area[6], 6.0, 1e-12);
    }
}

// Direction 1 at 30 degrees from X. The strains of a unit stress along X, rotated from the material
// axes by hand, give that stress back; a free thermal strain gives none; and the anisotropic
// stiffness matches the isotropic one for isotropic constants and stores a uniform strain's energy.
TEST(ElementKernels, OrthotropicLawFollowsTheRotatedCompliance) {
    const double e1 = 150000, e2 = 10000, g12 = 5000, nu = 0.3, a1 = 1e-6, a2 = 3e-5;
    const auto law = orthotropicElastic({e1, nu, e2, g12, 30, a1, a2, 1e-9});
    ASSERT_TRUE(law);
    const double c = std::cos(std::numbers::pi / 6), s = std::sin(std::numbers::pi / 6);
    // Unit stress along X is (c^2, s^2, -cs) in the material axes.
    const double e11 = c * c / e1 - nu * s * s / e1, e22 = -nu * c * c / e1 + s * s / e2;
    const double e33 = -nu * c * c / e1 - nu * s * s / e2, h12 = -c * s / g12 / 2;
    const double exx = c * c * e11 - 2 * c * s * h12 + s * s * e22;
    const double eyy = s * s * e11 + 2 * c * s * h12 + c * c * e22;
    const double hxy = c * s * (e11 - e22) + (c * c - s * s) * h12;
    const double grad[3][3] = {{exx, hxy, 0}, {hxy, eyy, 0}, {0, 0, e33}};
    const auto stress = stressOf(*law, grad, 0);
    for (int v = 0; v < 6; ++v) EXPECT_NEAR(stress[v], v == 0 ? 1.0 : 0.0, 1e-12) << "component " << v;
    const double thermal[3][3] = {{a1 * c * c + a2 * s * s, c * s * (a1 - a2), 0},
                                  {c * s * (a1 - a2), a1 * s * s + a2 * c * c, 0},
                                  {0, 0, a2}};
    for (double v : stressOf(*law, thermal, 1)) EXPECT_NEAR(v, 0.0, 1e-9);

    for (bool quadratic : {false, true}) {
        const FeMesh mesh = distortedElement(quadratic);
        const int n = 3 * mesh.nodesPerElement;
        std::vector<double> isotropic, rotated, ke;
        elasticStiffness(mesh, 0, {1000, 0.3, 0, 0}, isotropic);
        elasticStiffness(mesh, 0, *orthotropicElastic({1000, 0.3, 1000, 1000 / 2.6, 30, 0, 0, 0}), rotated);
        for (int i = 0; i < n * n; ++i) EXPECT_NEAR(rotated[i], isotropic[i], 1e-9 * std::abs(isotropic[0]));
        elasticStiffness(mesh, 0, *law, ke);
        const double g[3][3] = {{1e-3, 2e-4, 0}, {-1e-4, 3e-4, 5e-4}, {0, 1e-4, -2e-4}};
        std::vector<double> u(n);
        for (int k = 0; k < mesh.nodesPerElement; ++k)
            for (int a = 0; a < 3; ++a) u[3 * k + a] = dot(Vec3{g[a][0], g[a][1], g[a][2]}, mesh.node(k));
        double work = 0, volume = 0;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) work += u[i] * ke[i * n + j] * u[j];
        for (const VolumePoint& p : volumePoints(mesh, 0, 2)) volume += p.weight;
        const auto sv = stressOf(*law, g, 0);
        const double strain[6] = {g[0][0],           g[1][1],           g[2][2],
                                  g[0][1] + g[1][0], g[1][2] + g[2][1], g[0][2] + g[2][0]};
        double energy = 0;
        for (int v = 0; v < 6; ++v) energy += sv[v] * strain[v];
        EXPECT_NEAR(work, volume * energy, 1e-9 * std::abs(volume * energy));
    }
}

}  // namespace
}  // namespace tarvsolv
