// Forced vibrations of a cantilever under a suddenly applied tip load, against the same mesh's
// static deflection and first natural frequency: undamped it swings between 0 and twice the
// static deflection at the first frequency; with Rayleigh damping its amplitude decays by the
// logarithmic decrement of the damping ratio. Also the two solvers' agreement and the runs that
// cannot start.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "sine_fit.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

constexpr double kLength = 100;

FeMesh cantilever(bool quadratic) {
    BoxSpec box;
    // Twice as wide as high, so that the lowest mode bends it downwards, along the load.
    box.size = {kLength, 20, 10};
    // Linear tetrahedra need finer cells to bend like a beam.
    box.nx = quadratic ? 10 : 30;
    box.ny = quadratic ? 2 : 6;
    box.nz = quadratic ? 1 : 3;
    box.quadratic = quadratic;
    return makeBoxMesh(box);
}

// Held at x = 0 (face 1), pulled down at x = L (face 2) by a traction; the dynamic input as the
// add-on writes it, with the DYNAMIC section after the solve line.
JobText tipLoaded(int analysisCode, const std::string& solve) {
    JobText text;
    text.analysisCode = analysisCode;
    text.solve = solve;
    text.materials = {kSteel};
    text.loads = {"bol 2 0 0, 0, -1"};
    text.restraints = {"bor 1 0 0 0"};
    return text;
}

void writeDynamicInput(SolverJob& job, const JobText& text, double alpha, double beta) {
    job.writeInput(text);
    std::string input = readFile(job.inputPath());
    const auto solve = input.find("SOLVE\n");
    ASSERT_NE(solve, std::string::npos);
    char damping[64];
    std::snprintf(damping, sizeof damping, "DYNAMIC\n %g %g\n", alpha, beta);
    input.insert(input.find('\n', solve + 6) + 1, damping);
    writeFile(job.inputPath(), input);
}

// Mean z displacement of the loaded end in every "DISP n" block, in block order, with the block
// numbers.
struct TipHistory {
    std::vector<int> steps;
    std::vector<double> z;
};

TipHistory tipHistory(const SolverJob& job) {
    std::vector<char> tip;
    for (int n = 0; n < job.mesh().nodeCount(); ++n)
        tip.push_back(std::abs(job.mesh().node(n).x - kLength) < 1e-9);
    TipHistory history;
    std::istringstream in(job.resultText());
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("DISP ", 0) != 0) continue;
        history.steps.push_back(std::stoi(line.substr(5)));
        double sum = 0;
        int count = 0;
        for (int n = 0; n < job.mesh().nodeCount() && std::getline(in, line); ++n) {
            std::istringstream fields(line);
            double node, x, y, z;
            fields >> node >> x >> y >> z;
            if (tip[n]) sum += z, ++count;
        }
        history.z.push_back(sum / count);
    }
    return history;
}

// The static tip deflection and the first natural frequency of the same mesh.
std::pair<double, double> staticAndFirstFrequency(SolverJob& job) {
    job.writeInput(tipLoaded(0, "20,0,0,0,0"));
    EXPECT_EQ(job.run(SolverChoice::Direct), "");
    const double deflection = tipHistory(job).z.at(0);
    job.writeInput(tipLoaded(3, "1,0,0,0,0"));
    EXPECT_EQ(job.run(SolverChoice::Direct), "");
    return {deflection, job.modeFrequencies().at(0)};
}

// The angular frequency of the sine that fits the history best, searched around `guess`.
double fittedFrequency(const TipHistory& h, double dt, double guess) {
    std::vector<double> times;
    for (int step : h.steps) times.push_back(dt * step);
    return ::fittedFrequency(times, h.z, guess);
}

TEST(ForcedVibration, UndampedCantileverSwingsToTwiceItsDeflectionAtItsFirstFrequency) {
    for (bool quadratic : {false, true}) {
        SCOPED_TRACE(quadratic ? "quadratic" : "linear");
        SolverJob job("swing");
        job.writeMesh(cantilever(quadratic));
        const auto [deflection, frequency] = staticAndFirstFrequency(job);
        ASSERT_LT(deflection, 0);
        const double period = 1 / frequency, dt = period / 100;
        const int steps = 160;
        const JobText text = tipLoaded(5, "20," + std::to_string(steps) + "," + std::to_string(dt) + ",1,0");
        writeDynamicInput(job, text, 0, 0);
        ASSERT_EQ(job.run(SolverChoice::Iterative), "");
        const TipHistory iterative = tipHistory(job);
        ASSERT_EQ(iterative.steps.size(), static_cast<std::size_t>(steps));
        EXPECT_EQ(iterative.steps.front(), 1);
        EXPECT_EQ(iterative.steps.back(), steps);
        EXPECT_NE(job.resultText().find("VELO 160\n"), std::string::npos);
        EXPECT_NE(job.resultText().find("STRES 160\n"), std::string::npos);

        const double lowest = *std::min_element(iterative.z.begin(), iterative.z.end());
        const double highest = *std::max_element(iterative.z.begin(), iterative.z.end());
        EXPECT_NEAR(lowest / (2 * deflection), 1.0, 0.03);
        EXPECT_LT(highest, 0.03 * std::abs(deflection));
        const double omega = 2 * std::numbers::pi * frequency;
        EXPECT_NEAR(fittedFrequency(iterative, dt, omega) / omega, 1.0, 0.02);

        writeDynamicInput(job, text, 0, 0);
        ASSERT_EQ(job.run(SolverChoice::Direct), "");
        const TipHistory direct = tipHistory(job);
        ASSERT_EQ(direct.z.size(), iterative.z.size());
        double difference = 0;
        for (std::size_t i = 0; i < direct.z.size(); ++i)
            difference = std::max(difference, std::abs(direct.z[i] - iterative.z[i]));
        EXPECT_LT(difference, 1e-6 * std::abs(lowest));
    }
}

TEST(ForcedVibration, RayleighDampingDecaysByItsLogarithmicDecrement) {
    SolverJob job("decay");
    job.writeMesh(cantilever(true));
    const auto [deflection, frequency] = staticAndFirstFrequency(job);
    const double omega = 2 * std::numbers::pi * frequency, period = 1 / frequency, dt = period / 100;
    // Half the damping ratio from the mass term, half from the stiffness term.
    const double zeta = 0.04, alpha = zeta * omega, beta = zeta / omega;
    const int steps = 320, every = 2;
    writeDynamicInput(job,
                      tipLoaded(5, "20," + std::to_string(steps) + "," + std::to_string(dt) + "," +
                                       std::to_string(every) + "," + std::to_string(alpha)),
                      alpha, beta);
    ASSERT_EQ(job.run(SolverChoice::Direct), "");
    const TipHistory h = tipHistory(job);
    ASSERT_EQ(h.steps.size(), static_cast<std::size_t>(steps / every));
    EXPECT_EQ(h.steps[1], 2 * every);
    // Deepest swing of each period beyond the static deflection.
    std::vector<double> peaks;
    const int perPeriod = 100 / every;
    for (std::size_t start = 0; start + perPeriod <= h.z.size(); start += perPeriod) {
        double peak = 0;
        for (std::size_t i = start; i < start + perPeriod; ++i) peak = std::max(peak, deflection - h.z[i]);
        peaks.push_back(peak);
    }
    ASSERT_GE(peaks.size(), 3u);
    const double decrement = std::log(peaks[0] / peaks[2]) / 2;
    const double measured =
        decrement / std::sqrt(4 * std::numbers::pi * std::numbers::pi + decrement * decrement);
    EXPECT_NEAR(measured / zeta, 1.0, 0.05);
}

TEST(ForcedVibration, RunsThatCannotStartSayWhyAndLeaveTheResultFile) {
    SolverJob job("refused");
    job.writeMesh(cantilever(false));
    struct Case {
        std::string solve, material, message;
    };
    const Case cases[] = {
        {"20,10,0,1,0", kSteel, "step size above 0"},
        {"20,0,1e-5,1,0", kSteel, "number of steps"},
        {"20,10,1e-5,1,0", "1  210000,0.3,1.2e-05,0,0,0,0,0,0,0,0,0,0", "density above 0"},
        {"20,10,1e-5,1,0", kSteel, "damping coefficients"},
    };
    for (const Case& c : cases) {
        JobText text = tipLoaded(5, c.solve);
        text.materials = {c.material};
        writeDynamicInput(job, text, c.message == "damping coefficients" ? -1 : 0, 0);
        const std::string before = job.resultText();
        EXPECT_NE(job.run().find(c.message), std::string::npos) << c.solve;
        EXPECT_EQ(job.resultText(), before);
    }
}

}  // namespace
}  // namespace tarvsolv::testing
