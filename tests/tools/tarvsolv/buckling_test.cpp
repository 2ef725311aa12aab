// Linear buckling: the geometric stiffness and principal stresses of uniform prestresses, Euler
// columns pinned-pinned and heated between clamps (above a stress-free temperature) against the
// closed form, a column standing on a rigid plane through a touching gap against the clamped one.
// The end-to-end run checks the fixed-free column's load factors; the refusals are with the others.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "closed_forms.h"
#include "fem/geometric_stiffness.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

// v^T Kg v summed over the elements, Kg of the prestress of the displacement field `prestress`;
// `extremes` collects the prestress extremes the kernel reports.
double prestressWork(PrestressExtremes& extremes, const FeMesh& mesh, const IsotropicElastic& m,
                     const std::function<Vec3(const Vec3&)>& prestress,
                     const std::function<Vec3(const Vec3&)>& v, double temperatureChange = 0) {
    double sum = 0;
    std::vector<double> kg;
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        std::vector<double> ue, ve, dT;
        for (int n : nodes) {
            const Vec3 u = prestress(mesh.node(n)), w = v(mesh.node(n));
            for (int a = 0; a < 3; ++a) ue.push_back(u[a]), ve.push_back(w[a]);
            if (temperatureChange != 0) dT.push_back(temperatureChange);
        }
        const PrestressExtremes element = geometricStiffness(mesh, e, m, ue, dT, kg);
        extremes.compression = std::max(extremes.compression, element.compression);
        extremes.magnitude = std::max(extremes.magnitude, element.magnitude);
        const std::size_t n = ve.size();
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j) sum += ve[i] * kg[i * n + j] * ve[j];
    }
    return sum;
}

// The linear field x -> m x.
std::function<Vec3(const Vec3&)> linearField(const double (&m)[3][3]) {
    return [&m](const Vec3& p) {
        return Vec3{m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z,
                    m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z,
                    m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z};
    };
}

// A uniform strain with all six components, R diag(e) R^T with R a turn about an oblique axis,
// plus a rigid turn that stresses nothing: sigma = lambda tr(e) I + 2 mu e, whose principal
// stresses are lambda tr(e) + 2 mu e_i. For any v = H x, v.Kg.v = V sigma : (grad v^T grad v).
// Free thermal expansion is stress free and costs nothing.
TEST(GeometricStiffness, UniformPrestressesGiveTheirWorkAndTheirPrincipalStresses) {
    const IsotropicElastic steel{kSteelE, kSteelNu, 1.2e-5, 0};
    const double lambda = kSteelE * kSteelNu / ((1 + kSteelNu) * (1 - 2 * kSteelNu)),
                 mu = kSteelE / (2 * (1 + kSteelNu));
    const double e[3] = {4e-4, -1e-3, 2e-4},
                 axis[3] = {1 / std::sqrt(14.0), 2 / std::sqrt(14.0), 3 / std::sqrt(14.0)};
    const double c = std::cos(0.7), s = std::sin(0.7);
    double r[3][3], g[3][3] = {{0, 3e-4, -2e-4}, {-3e-4, 0, 1e-4}, {2e-4, -1e-4, 0}}, sigma[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)  // Rodrigues: c I + s [axis]x + (1 - c) axis axis^T
            r[i][j] = (i == j ? c : 0) + (1 - c) * axis[i] * axis[j] +
                      s * (i == j ? 0 : ((j - i + 3) % 3 == 1 ? -1 : 1) * axis[3 - i - j]);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double strain = 0;
            for (int k = 0; k < 3; ++k) strain += r[i][k] * e[k] * r[j][k];
            g[i][j] += strain;
            sigma[i][j] = 2 * mu * strain + (i == j ? lambda * (e[0] + e[1] + e[2]) : 0);
        }
    const double h[3][3] = {{0.3, -1.2, 0.5}, {0.8, 0.1, -0.4}, {-0.6, 0.9, 0.2}};
    double work = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) work += sigma[i][j] * h[k][i] * h[k][j];
    const double volume = 24, smallest = lambda * (e[0] + e[1] + e[2]) + 2 * mu * e[1];
    for (bool quadratic : {false, true}) {
        SCOPED_TRACE(quadratic ? "quadratic" : "linear");
        const FeMesh mesh = makeBoxMesh({{}, {4, 2, 3}, 2, 1, 2, quadratic});
        PrestressExtremes extremes;
        EXPECT_NEAR(prestressWork(extremes, mesh, steel, linearField(g), linearField(h)), volume * work,
                    1e-9 * kSteelE * volume);
        EXPECT_NEAR(extremes.compression, -smallest, 1e-9 * kSteelE);
        EXPECT_NEAR(extremes.magnitude, -smallest, 1e-9 * kSteelE);
        const double dT = 50, free = steel.expansion * dT;
        extremes = {};
        EXPECT_NEAR(prestressWork(
                        extremes, mesh, steel, [&](const Vec3& p) { return free * p; }, linearField(h), dT),
                    0.0, 1e-8 * kSteelE * volume);
        EXPECT_LT(extremes.magnitude, 1e-9 * kSteelE);
    }
}

// The column of the end-to-end run (which checks its first three load factors against Euler's).
struct Column {
    double length = 200, width = 20, height = 10;  // bends across the height first
    double area() const { return width * height; }
    // Euler's load bending across the height, with shear.
    double criticalLoad(double effectiveLength) const {
        return testing::criticalLoad(effectiveLength, height, width, kSteelE, kSteelNu);
    }
    FeMesh mesh(int nx, int ny, int nz, bool quadratic = true) const {
        return makeBoxMesh({{}, {length, width, height}, nx, ny, nz, quadratic});
    }
};

// Fixed at x = 0, a compressive end pressure of 1 N/mm2 on x = L.
JobText fixedFreeColumn(int modes) {
    JobText text = clampedSteel({"bol 2 1 1"}, 0, std::to_string(modes) + ",0,0,0,0");
    text.stepSection = {"BUCKLE"};
    return text;
}

TEST(Buckling, ColumnStandingOnAPlaneBucklesAsTheClampedOne) {
    // The fixed-free column with its base held across only, standing on a rigid plane x = 0
    // through a touching gap (or a normal gap of 0): pressed by the end load, the whole base is in
    // contact, and the prestress and the stiffness with the contact held are the clamped column's
    // but for the springs' give (4e-5 here), a trace lower.
    const Column column;
    SolverJob job("standing", column.mesh(20, 2, 2));
    ASSERT_EQ(job.solve(fixedFreeColumn(2), SolverChoice::Direct), "");
    const std::vector<double> clamped = job.modeFrequencies();
    ASSERT_EQ(clamped.size(), 2u);
    for (const std::string& line : {std::string("bog 1 -1,0,0,0"), std::string("bogn 1 0")}) {
        SCOPED_TRACE(line);
        JobText text = fixedFreeColumn(2);
        text.restraints = {"bor 1 1 0 0"};
        text.constraints = {line};
        ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
        expectSpringsGiveATrace(job.modeFrequencies(), clamped);
        EXPECT_THAT(job.logText(), HasSubstr("on face 1: 56 of its 56 points are in contact"));
    }
    // Without the load there is no contact state to buckle from.
    JobText unloaded = fixedFreeColumn(1);
    unloaded.loads = {};
    unloaded.restraints = {"bor 1 1 0 0"};
    unloaded.constraints = {"bog 1 -1,0,0,0"};
    EXPECT_THAT(job.solve(unloaded, SolverChoice::Direct), HasSubstr("no prestress"));
}

TEST(Buckling, PinnedPinnedColumnMatchesEuler) {
    // Both ends pushed by 1 N/mm2, held across at the centre of each end face only, so the ends
    // turn freely; the middle holds the axial position and one end node the twist.
    const Column column;
    SolverJob job("pinned", column.mesh(40, 4, 2));
    JobText text = fixedFreeColumn(1);
    text.loads = {"bol 1 1 1", "bol 2 1 1"};
    text.restraints = {"pxr 0,10,5 1 0 0", "pxr 200,10,5 1 0 0", "pxr 100,10,5 0 1 1", "pxr 0,0,5 1 1 0"};
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    const double expected = column.criticalLoad(column.length) / column.area();
    const std::vector<double> factors = job.modeFrequencies();
    ASSERT_EQ(factors.size(), 1u);
    EXPECT_NEAR(factors[0], expected, 0.02 * expected);
}

TEST(Buckling, HeatedBarBetweenClampsBucklesAtEulersTemperature) {
    // Both ends clamped, 10 C warmer than the solve's stress-free temperature (row 3): the axial
    // stress is -E alpha 10, and the bar buckles across its height over half its length. The
    // clamps also hold the ends' thermal swelling, which lowers the factor by about 1.5 %.
    const Column column;
    SolverJob job("heated", column.mesh(40, 4, 2));
    const auto heatTo = [&](double temperature, double stressFree) {
        JobText text = fixedFreeColumn(1);
        text.solve = "1," + std::to_string(stressFree) + ",0,0,0";
        text.loads = {"t " + job.writeTemperatures("warm.out", {{1, temperature}})};
        text.restraints = {"bor 1 0 0 0", "bor 2 0 0 0"};
        return job.solve(text, SolverChoice::Direct);
    };
    const double stress = kSteelE * 1.2e-5 * 10;
    const double expected = column.criticalLoad(column.length / 2) / (stress * column.area());
    for (double stressFree : {0.0, 20.0}) {
        ASSERT_EQ(heatTo(stressFree + 10, stressFree), "") << stressFree;
        EXPECT_NEAR(job.modeFrequencies().at(0), expected, 0.03 * expected) << stressFree;
    }
    // At its stress-free temperature the clamped bar carries nothing that could buckle it.
    EXPECT_THAT(heatTo(20, 20), HasSubstr("no prestress"));
}

}  // namespace
}  // namespace tarvsolv::testing
