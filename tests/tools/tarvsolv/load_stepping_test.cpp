// The load stepping shared by the nonlinear analyses, on a linear elastic body, where every step
// has a known answer: the linear solution scaled by the load factor; and the time-step loop of the
// time-stepped analyses, on a stepper that counts its steps. PETSc is started by the test
// program's environment (verification_test.cpp).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "elastic_assembly.h"
#include "fem/box_mesh.h"
#include "fem/element_kernels.h"
#include "fem/matrix_pattern.h"
#include "linalg/linear_solvers.h"
#include "physics/load_stepping.h"
#include "physics/time_step_driver.h"

namespace tarvsolv::testing {
namespace {

using ::testing::HasSubstr;

// Internal forces K u of an elastic body; each converged step is recorded and handed on.
// Past `failAbove` the state is refused, as an element turned inside out would be.
class ElasticBody : public NonlinearSystem {
  public:
    explicit ElasticBody(const FeMesh& mesh) : mesh_(mesh) {}

    void assemble(const std::vector<double>&, const std::vector<double>& global, double lambda,
                  SystemAssembler& assembler) override {
        if (lambda > failAbove) throw std::runtime_error("refused");
        std::vector<double> ke;
        for (int e = 0; e < mesh_.elementCount(); ++e) {
            elasticStiffness(mesh_, e, material_, ke);
            const auto nodes = mesh_.elementNodes(e);
            const std::size_t n = 3 * nodes.size();
            std::vector<double> fe(n, 0.0);
            for (std::size_t i = 0; i < n; ++i)
                for (std::size_t j = 0; j < n; ++j) fe[i] -= ke[i * n + j] * global[3 * nodes[j / 3] + j % 3];
            assembler.addElement(nodes, ke, &fe);
        }
    }
    std::optional<StepResult> acceptStep(int, double lambda, const std::vector<double>& u,
                                         const std::vector<double>&) override {
        lambdas.push_back(lambda);
        states.push_back(u);
        return StepResult{};
    }

    double failAbove = 1e9;
    std::vector<double> lambdas;
    std::vector<std::vector<double>> states;

  private:
    const FeMesh& mesh_;
    ElasticMaterial material_{1000.0, 0.3, 0.0, 0.0};
};

// The numbers and load factors of the steps the load stepping hands on.
struct StepRecord : ResultSink {
    void modeValues(std::span<const double>) override {}
    void step(const StepResult& step) override { numbered.emplace_back(step.number, step.time); }
    std::vector<std::pair<int, double>> numbered;
};

// A bar clamped at x = 0 whose far end is pulled 0.01 along a local axis turned 30 degrees about
// z, with a sideways point load on one far corner: prescribed values, a nodal frame and a load.
struct BarCase {
    FeMesh mesh = makeBoxMesh({{0, 0, 0}, {4, 1, 1}, 4, 1, 1, true});
    DofLayout layout{mesh, 3, PETSC_COMM_WORLD};
    VecHandle load = layout.createVector();
    Job job;
    RunLog log{"", false, false};
    LoadSteppingOptions options;
    StepRecord record;

    BarCase() {
        options.analysis = "test";
        const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
        int corner = -1;
        for (int n = 0; n < mesh.nodeCount(); ++n) {
            const Vec3 x = mesh.node(n);
            if (x.x == 0)
                for (int a = 0; a < 3; ++a) layout.prescribe(3 * n + a, 0.0);
            if (x.x == 4) {
                layout.setFrame(n, {c, s, 0, -s, c, 0, 0, 0, 1});
                layout.prescribe(3 * n, 0.01);
                if (x.y == 1 && x.z == 1) corner = n;
            }
        }
        TARV_PETSC(VecSetValue(load, 3 * corner + 2, 5.0, INSERT_VALUES));
        TARV_PETSC(VecAssemblyBegin(load));
        TARV_PETSC(VecAssemblyEnd(load));
        job.mesh = mesh;
        job.solver = SolverChoice::Direct;
    }

    // The linear static solution of the full load, in the layout's basis.
    std::vector<double> linearSolution() {
        const MatrixPattern pattern(mesh, layout);
        MatHandle k = pattern.createMatrix();
        VecHandle f = layout.createVector(), x = layout.createVector();
        TARV_PETSC(VecCopy(load, f));
        {
            SystemAssembler assembler(pattern, k, f);
            addElasticElements(assembler, mesh, 1000, true);
            assembler.finish();
        }
        solveLinear(k, f, x, SolverChoice::Direct, kIterativeTolerance, layout, mesh);
        return gatherOnAll(x);
    }
};

TEST(LoadStepping, ElasticStepsFollowTheLinearSolutionThroughPrescribedValuesAndFrames) {
    BarCase bar;
    const std::vector<double> linear = bar.linearSolution();
    ElasticBody body(bar.mesh);
    bar.options.finalFactor = 2.0;
    bar.options.steps = 4;
    solveInLoadSteps(bar.job, bar.layout, bar.load, body, bar.options, bar.log, bar.record);
    ASSERT_EQ(body.lambdas.size(), 4u);
    EXPECT_EQ(bar.record.numbered,
              (std::vector<std::pair<int, double>>{{1, 0.5}, {2, 1.0}, {3, 1.5}, {4, 2.0}}));
    double largest = 0;
    for (double v : linear) largest = std::max(largest, std::abs(v));
    for (std::size_t s = 0; s < 4; ++s) {
        EXPECT_DOUBLE_EQ(body.lambdas[s], 0.5 * static_cast<double>(s + 1));
        double error = 0;
        for (std::size_t i = 0; i < linear.size(); ++i)
            error = std::max(error, std::abs(body.states[s][i] - body.lambdas[s] * linear[i]));
        EXPECT_LT(error, 1e-8 * largest) << "step " << s + 1;
    }
}

TEST(LoadStepping, CutsAFailingStepAndKeepsTheStepsThatConverged) {
    BarCase bar;
    ElasticBody body(bar.mesh);
    body.failAbove = 0.57;
    try {
        solveInLoadSteps(bar.job, bar.layout, bar.load, body, bar.options, bar.log, bar.record);
        FAIL() << "a run past the refused load factor cannot succeed";
    } catch (const PartialResults& stop) {
        const std::size_t kept = body.lambdas.size();
        ASSERT_GE(kept, 5u);
        // Halving six times brings the last converged step within 1/64 of a step of the failure.
        EXPECT_LE(body.lambdas.back(), 0.57);
        EXPECT_GT(body.lambdas.back(), 0.57 - 0.1 / 64);
        // Every converged step went to the sink, numbered in turn, with its load factor.
        ASSERT_EQ(bar.record.numbered.size(), kept);
        for (std::size_t s = 0; s < kept; ++s)
            EXPECT_EQ(bar.record.numbered[s], std::make_pair(static_cast<int>(s + 1), body.lambdas[s]));
        EXPECT_THAT(stop.what(), HasSubstr("load step " + std::to_string(kept + 1) + " "));
        EXPECT_THAT(stop.what(), HasSubstr(std::to_string(kept) + " converged steps"));
    }
}

// A stepper whose state is the number of steps taken; step `failAt` does not converge.
class CountingStepper : public TimeStepper {
  public:
    void start() override {}
    TimeStepOutcome advance(int step, double, bool) override {
        TimeStepOutcome outcome;
        outcome.converged = step != failAt;
        outcome.failure = "with the test";
        if (outcome.converged) reached = step;
        return outcome;
    }
    std::optional<StepResult> results() override {
        written.push_back(reached);
        return StepResult{};
    }
    std::string progress() override { return {}; }
    void finish(RunLog&) override { finished = true; }

    int failAt = 0, reached = 0;
    std::vector<int> written;  // the state of each step handed on
    bool finished = false;
};

TEST(TimeStepping, WritesThePrintedAndTheLastStepsAndKeepsThemWhenAStepFails) {
    RunLog log("", false, false);
    const StepPlan plan{7, 0.5, 3};
    CountingStepper stepper;
    StepRecord record;
    runTimeSteps("test", plan, SolverChoice::Direct, stepper, record, log);
    EXPECT_EQ(record.numbered, (std::vector<std::pair<int, double>>{{3, 1.5}, {6, 3.0}, {7, 3.5}}));
    EXPECT_EQ(stepper.written, (std::vector<int>{3, 6, 7}));
    EXPECT_TRUE(stepper.finished);

    CountingStepper failing;
    failing.failAt = 5;
    StepRecord kept;
    try {
        runTimeSteps("test", plan, SolverChoice::Direct, failing, kept, log);
        FAIL() << "a step that does not converge cannot end the run as a success";
    } catch (const PartialResults& stop) {
        EXPECT_EQ(kept.numbered, (std::vector<std::pair<int, double>>{{3, 1.5}}));
        EXPECT_STREQ(stop.what(),
                     "test: time step 5 (t = 2.5 s) does not converge with the test; the run reached t = 2 s "
                     "and keeps its 1 printed steps");
        EXPECT_FALSE(failing.finished);
    }
}

}  // namespace
}  // namespace tarvsolv::testing
