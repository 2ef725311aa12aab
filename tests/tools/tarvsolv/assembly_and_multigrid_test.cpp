// The matrix pattern and node-block assembly against a plain dense sum of the element matrices,
// the pieces of a partly held part weighed by the matrix entries their rows hold,
// the corner level's interpolation, the iterative solver against the direct one where the
// corner level has to respect prescribed values and nodal frames, and the direct solver's
// single-precision factor refined to a double-precision solution, also inside shift-invert; the
// step solver's start from the earlier steps' solutions and its symmetric block copy. PETSc is
// started by the test program's environment (verification_test.cpp); tarvsolv_assembly_processes
// runs the assembly, the pieces and the corner level on two processes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "base/default_option.h"
#include "elastic_assembly.h"
#include "fem/box_mesh.h"
#include "fem/element_kernels.h"
#include "fem/node_pieces.h"
#include "fem/system_assembler.h"
#include "linalg/corner_space.h"
#include "linalg/energy_basis.h"
#include "linalg/linear_solvers.h"
#include "linalg/single_precision_cholesky.h"
#include "linalg/symmetric_copy.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

// The prescribed values are kept apart from the flags, only where they are not 0: a value of 0 still
// prescribes, a second value for an unknown leaves the first, and the layouts of increments and
// lifts carry the values they are given and no other.
TEST(DofLayout, KeepsPrescribedValuesWhetherZeroOrNot) {
    const FeMesh mesh = makeBoxMesh({{}, {1, 1, 1}, 1, 1, 1, false});
    DofLayout layout(mesh, 3, PETSC_COMM_SELF);
    // A value of 0 prescribes as any other does, and a second, other value is refused either way.
    EXPECT_TRUE(layout.prescribe(0, 0.0));
    EXPECT_TRUE(layout.prescribe(4, 0.25));
    EXPECT_FALSE(layout.prescribe(0, 0.5));
    EXPECT_FALSE(layout.prescribe(4, 0.0));
    EXPECT_TRUE(layout.isPrescribed(0) && !layout.isPrescribed(1));
    EXPECT_EQ(layout.prescribedValue(0), 0.0);
    EXPECT_EQ(layout.prescribedValue(4), 0.25);
    EXPECT_EQ(layout.prescribedCount(), 2u);
    DofLayout increments = layout.withoutPrescribedValues();
    increments.setPrescribedValues(layout, 0.5);
    EXPECT_EQ(increments.prescribedValue(4), 0.125);
    std::vector<double> lift(static_cast<std::size_t>(layout.dofCount()), 7.0);
    EXPECT_EQ(layout.withPrescribedValues(lift).prescribedValue(0), 7.0);
}

// A small quadratic box with a stray node at the end; the x = 0 side prescribed (x to 0.01, y to 0,
// z free), so prescribed and free unknowns share node blocks.
struct AssemblyCase {
    FeMesh mesh;
    DofLayout layout;

    AssemblyCase() : mesh(boxWithStrayNode()), layout(mesh, 3, PETSC_COMM_WORLD) {
        for (int n = 0; n < mesh.nodeCount(); ++n)
            if (mesh.node(n).x == 0) {
                layout.prescribe(3 * n, 0.01);
                layout.prescribe(3 * n + 1, 0.0);
            }
    }
    static FeMesh boxWithStrayNode() {
        FeMesh mesh = makeBoxMesh({{}, {4, 2, 2}, 2, 1, 1, true});
        for (double v : {9.0, 9.0, 9.0}) mesh.xyz.push_back(v);
        return mesh;
    }
    std::vector<double> stiffness(int e) const {
        std::vector<double> ke;
        elasticStiffness(mesh, e, IsotropicElastic{210000, 0.3, 0, 0}, ke);
        return ke;
    }
};

TEST(NodeBlockAssembly, MatchesTheDenseSumWithPrescribedUnknownsLiftedOut) {
    const AssemblyCase c;
    const int size = c.layout.dofCount();
    // Reference: free-free entries summed, prescribed unknowns keep their own diagonal, their
    // values move to the free rows' right-hand side; the stray node gets a unit diagonal.
    std::vector<double> k(static_cast<std::size_t>(size) * size, 0.0), f(size, 0.0);
    for (int e = 0; e < c.mesh.elementCount(); ++e) {
        const auto nodes = c.mesh.elementNodes(e);
        const auto ke = c.stiffness(e);
        const std::size_t n = 3 * nodes.size();
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j) {
                const int r = 3 * nodes[i / 3] + static_cast<int>(i % 3),
                          s = 3 * nodes[j / 3] + static_cast<int>(j % 3);
                const double v = ke[i * n + j];
                if (!c.layout.isPrescribed(r) && !c.layout.isPrescribed(s))
                    k[static_cast<std::size_t>(r) * size + s] += v;
                else if (!c.layout.isPrescribed(r))
                    f[r] -= v * c.layout.prescribedValue(s);
                else if (r == s) {
                    k[static_cast<std::size_t>(r) * size + r] += v;
                    f[r] += v * c.layout.prescribedValue(r);
                }
            }
    }
    for (int a = 0; a < 3; ++a) k[static_cast<std::size_t>(size - 3 + a) * size + size - 3 + a] = 1;

    const MatrixPattern pattern(c.mesh, c.layout);
    MatHandle matrix = pattern.createMatrix();
    VecHandle rhs = c.layout.createVector();
    SystemAssembler assembler(pattern, matrix, rhs);
    addElasticElements(assembler, c.mesh, 210000, true);
    assembler.holdStrayNodes(c.mesh);
    assembler.finish();

    const auto got = dense(matrix);
    const double scale = *std::max_element(k.begin(), k.end());
    for (std::size_t i = 0; i < k.size(); ++i)
        ASSERT_NEAR(got[i], k[i], 1e-12 * scale) << "row " << i / size << " column " << i % size;
    const auto gotRhs = gatherOnAll(rhs);
    for (int r = 0; r < size; ++r) EXPECT_NEAR(gotRhs[r], f[r], 1e-12 * scale) << "row " << r;

    // Preallocated exactly: nothing allocated goes unused. (The prescribed rows' couplings are 0
    // in the dense sum, which every entry was held to above.)
    MatInfo info;
    TARV_PETSC(MatGetInfo(matrix, MAT_LOCAL, &info));
    EXPECT_EQ(info.nz_allocated, info.nz_used);
}

TEST(NodeBlockAssembly, MassMatrixLeavesPrescribedRowsEmpty) {
    const AssemblyCase c;
    const MatrixPattern pattern(c.mesh, c.layout);
    MatHandle matrix = pattern.createMatrix(false);
    SystemAssembler assembler(pattern, matrix, nullptr, false);
    std::vector<double> me;
    for (int e = 0; e < c.mesh.elementCount(); ++e) {
        consistentMass(c.mesh, e, 1.0, me);
        assembler.addElement(c.mesh.elementNodes(e), me, nullptr);
    }
    assembler.finish();
    const auto got = dense(matrix);
    const int size = c.layout.dofCount();
    double freeMass = 0;
    for (int r = 0; r < size; ++r)
        for (int s = 0; s < size; ++s) {
            const double v = got[static_cast<std::size_t>(r) * size + s];
            if (c.layout.isPrescribed(r) || c.layout.isPrescribed(s)) {
                EXPECT_EQ(v, 0.0) << r << " " << s;
            } else if (r % 3 == 0 && s % 3 == 0) {
                freeMass += v;
            }
        }
    EXPECT_GT(freeMass, 0.0);
}

// A bar whose first quarter is held: its rows hold only their diagonals, so pieces of as many nodes
// would give the other piece far more matrix entries. Counted on the matrix pattern itself, laid
// out on this process alone: the partition is of the whole mesh, so every row is counted, however
// many processes run the test (a pattern shared by the processes knows only its owned rows).
TEST(NodePieces, EvenTheMatrixEntriesOfAPartlyHeldPart) {
    const FeMesh mesh = makeBoxMesh({{}, {8, 1, 1}, 16, 2, 2, true});
    DofLayout layout(mesh, 3, PETSC_COMM_SELF);
    std::vector<int> held(static_cast<std::size_t>(mesh.nodeCount()), 0);
    for (int n = 0; n < mesh.nodeCount(); ++n)
        if (mesh.node(n).x < 2 + 1e-9) {
            held[n] = 3;
            for (int a = 0; a < 3; ++a) layout.prescribe(3 * n + a, 0.0);
        }
    const MatrixPattern pattern(mesh, layout);
    const auto entryImbalance = [&](const std::vector<int>& piece) {
        EXPECT_EQ(piece.size(), static_cast<std::size_t>(mesh.nodeCount()));
        double entries[2] = {0, 0};
        for (int n = 0; n < mesh.nodeCount(); ++n)
            for (const int m : pattern.neighbours(n))
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b)
                        entries[piece[n]] += pattern.holds(3 * n + a, 3 * m + b, true);
        return std::max(entries[0], entries[1]) / (0.5 * (entries[0] + entries[1]));
    };
    EXPECT_GT(entryImbalance(nodePieces(mesh, 2)), 1.15);
    EXPECT_LT(entryImbalance(nodePieces(mesh, 2, held)), 1.03);
}

// Corner values of a linear field interpolate to the field at every node (straight edges).
TEST(CornerSpace, InterpolatesLinearFieldsExactlyAndKeepsPrescribedUnknownsApart) {
    FeMesh mesh = makeBoxMesh({{}, {3, 2, 1}, 3, 2, 1, true});
    mapNodes(mesh, [](const Vec3& p) { return Vec3{p.x + 0.3 * p.y, p.y - 0.2 * p.z, p.z + 0.1 * p.x}; });
    DofLayout layout(mesh, 3, PETSC_COMM_WORLD);
    const auto field = [](const Vec3& p, int a) { return 1 + (a + 1) * p.x - 2 * p.y + 0.5 * a * p.z; };

    const CornerSpace free(mesh, layout);
    MatHandle p = free.interpolation();
    PetscInt rows = 0, columns = 0;
    TARV_PETSC(MatGetSize(p, &rows, &columns));
    ASSERT_EQ(rows, 3 * mesh.nodeCount());
    ASSERT_EQ(columns, 3 * free.cornerCount());
    EXPECT_EQ(free.cornerCount(), 4 * 3 * 2);  // the box's grid points
    VecHandle coarse, fine;
    TARV_PETSC(MatCreateVecs(p, coarse.out(), fine.out()));
    const auto xyz = gatherOnAll(free.coordinates());
    ASSERT_EQ(xyz.size(), 3u * free.cornerCount());
    for (int n = 0; n < mesh.nodeCount(); ++n)
        if (free.cornerOf(n) >= 0) {
            const int k = free.cornerOf(n);
            for (int a = 0; a < 3; ++a) {
                EXPECT_EQ(xyz[3 * k + a], mesh.node(n)[a]);
                TARV_PETSC(VecSetValue(coarse, 3 * k + a, field(mesh.node(n), a), INSERT_VALUES));
            }
        }
    TARV_PETSC(VecAssemblyBegin(coarse));
    TARV_PETSC(VecAssemblyEnd(coarse));
    TARV_PETSC(MatMult(p, coarse, fine));
    const auto u = gatherOnAll(fine);
    for (int n = 0; n < mesh.nodeCount(); ++n)
        for (int a = 0; a < 3; ++a) EXPECT_NEAR(u[3 * n + a], field(mesh.node(n), a), 1e-12) << "node " << n;

    // With z prescribed on the z = 0 side: a prescribed corner unknown maps only to itself, a
    // prescribed mid-side unknown takes nothing, and a free mid-side unknown next to a prescribed
    // corner takes half of its other end only.
    for (int n = 0; n < mesh.nodeCount(); ++n)
        if (mesh.node(n).z == 0) layout.prescribe(3 * n + 2, 0.0);
    const CornerSpace held(mesh, layout);
    const auto q = dense(held.interpolation());
    const auto entry = [&](int node, int a, int corner) {
        return q[static_cast<std::size_t>(3 * node + a) * 3 * held.cornerCount() + 3 * corner + a];
    };
    int checkedMidSides = 0;
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        const int ends[2] = {nodes[0], nodes[3]}, mid = nodes[7];  // mid-side of edge 0-3
        const bool bottom[2] = {mesh.node(ends[0]).z == 0, mesh.node(ends[1]).z == 0};
        for (int k = 0; k < 2; ++k) {
            EXPECT_EQ(entry(ends[k], 2, held.cornerOf(ends[k])), 1.0);
            const double expected = mesh.node(mid).z == 0 || bottom[k] ? 0.0 : 0.5;
            EXPECT_EQ(entry(mid, 2, held.cornerOf(ends[k])), expected) << "element " << e;
            EXPECT_EQ(entry(mid, 0, held.cornerOf(ends[k])), 0.5);
        }
        if (bottom[0] != bottom[1]) ++checkedMidSides;
    }
    EXPECT_GT(checkedMidSides, 0);

    // The coarse operator is PETSc's P^T K P, with a coupling outside the elements (as a
    // constraint between two far nodes adds) as well.
    const MatrixPattern pattern(mesh, layout);
    MatHandle k = pattern.createMatrix();
    {
        SystemAssembler assembler(pattern, k, nullptr);
        addElasticElements(assembler, mesh, 210000);
        assembler.finish();
    }
    {
        // Preallocated exactly: no entry left unused (the held side's), none added afterwards.
        MatHandle exact = held.coarseOperator(k);
        MatInfo info;
        TARV_PETSC(MatGetInfo(exact, MAT_GLOBAL_SUM, &info));
        EXPECT_EQ(info.nz_unneeded, 0.0);
        EXPECT_EQ(info.mallocs, 0.0);
    }
    const int far = 3 * (mesh.nodeCount() - 1);
    ASSERT_GE(held.cornerOf(far / 3), 0);
    TARV_PETSC(MatSetOption(k, MAT_NEW_NONZERO_ALLOCATION_ERR, PETSC_FALSE));
    TARV_PETSC(MatSetValue(k, 0, far, -1e4, ADD_VALUES));
    TARV_PETSC(MatSetValue(k, far, 0, -1e4, ADD_VALUES));
    TARV_PETSC(MatAssemblyBegin(k, MAT_FINAL_ASSEMBLY));
    TARV_PETSC(MatAssemblyEnd(k, MAT_FINAL_ASSEMBLY));
    MatHandle product;
    TARV_PETSC(MatPtAP(k, held.interpolation(), MAT_INITIAL_MATRIX, 1.0, product.out()));
    const auto expected = dense(product), ours = dense(held.coarseOperator(k));
    ASSERT_EQ(ours.size(), expected.size());
    const double largest = largestMagnitude(expected);
    for (std::size_t i = 0; i < ours.size(); ++i) ASSERT_NEAR(ours[i], expected[i], 1e-12 * largest) << i;
    EXPECT_NE(expected[3 * static_cast<std::size_t>(held.cornerOf(far / 3))], 0.0);
}

// Imposed displacements (one along an oblique direction, so that its nodes get frames) on a
// quadratic mesh: the iterative solver, through the corner level, meets the direct one.
TEST(CornerLevelSolve, AgreesWithTheDirectSolverUnderImposedObliqueDisplacements) {
    SolverJob job("imposed", makeBoxMesh({{}, {60, 10, 10}, 12, 2, 2, true}));
    JobText text = clampedSteel({"bol 4 1 5"});
    text.constraints = {"boc 2 1,1,0,0.05", "bocn 6 -0.01"};
    const SolverAgreement both = solveBothWays(job, text);
    EXPECT_GT(both.largest, 0.04);
    EXPECT_LT(both.relativeDifference, 1e-6);
}

// A 200 long quadratic beam of 40 cells, 2 wide and `height` high, clamped at x = 0.
struct ClampedBeam {
    explicit ClampedBeam(double height)
        : mesh(makeBoxMesh({{}, {200, 2, height}, 40, 1, 1, true})),
          layout(clamped(mesh)),
          pattern(mesh, layout) {}
    static DofLayout clamped(const FeMesh& mesh) {
        DofLayout layout(mesh, 3, PETSC_COMM_WORLD);
        for (int n = 0; n < mesh.nodeCount(); ++n)
            if (mesh.node(n).x == 0)
                for (int d = 0; d < 3; ++d) layout.prescribe(3 * n + d, 0.0);
        return layout;
    }
    FeMesh mesh;
    DofLayout layout;
    MatrixPattern pattern;
};

// Rigid-body modes on the quadratic matrix are made only for a preconditioner the options name:
// the corner multigrid has its own on the corner level, while straight algebraic multigrid on the
// quadratic matrix (-pc_type gamg) still gets all six and solves the beam. The option a default
// sets goes with its scope; one the user gave stays as given.
TEST(IterativeSolver, RigidBodyModesFollowThePreconditionerTheOptionsName) {
    const ClampedBeam beam(2);
    MatHandle k = beam.pattern.createMatrix();
    {
        SystemAssembler assembler(beam.pattern, k, nullptr);
        addElasticElements(assembler, beam.mesh, 210000);
        assembler.finish();
    }
    const auto modesAfterSetUp = [&](Mat m) {
        KspHandle ksp;
        CornerLevel level;
        TARV_PETSC(KSPCreate(PETSC_COMM_WORLD, ksp.out()));
        TARV_PETSC(KSPSetOperators(ksp, k, k));
        configureIterativeSolver(ksp, k, 1e-8, beam.layout, beam.mesh, level);
        MatNullSpace space = nullptr;
        TARV_PETSC(MatGetNearNullSpace(m ? m : static_cast<Mat>(level.coarse), &space));
        PetscInt count = 0;
        if (space) TARV_PETSC(MatNullSpaceGetVecs(space, nullptr, &count, nullptr));
        return count;
    };
    EXPECT_EQ(modesAfterSetUp(nullptr), 6);
    EXPECT_EQ(modesAfterSetUp(k), 0);
    VecHandle expected = beam.layout.createVector(), b = beam.layout.createVector(),
              x = beam.layout.createVector();
    TARV_PETSC(VecSetRandom(expected, nullptr));
    TARV_PETSC(MatMult(k, expected, b));
    {
        const DefaultOption gamg("-pc_type", "gamg");
        EXPECT_EQ(modesAfterSetUp(k), 6);
        const LinearSolveReport report =
            solveLinear(k, b, x, SolverChoice::Iterative, kToleranceFloor, beam.layout, beam.mesh);
        EXPECT_EQ(report.method, "conjugate gradients with algebraic multigrid");
        PetscReal size = 0, error = 0;
        TARV_PETSC(VecNorm(expected, NORM_INFINITY, &size));
        TARV_PETSC(VecAXPY(x, -1.0, expected));
        TARV_PETSC(VecNorm(x, NORM_INFINITY, &error));
        EXPECT_LT(error, 1e-4 * size);
    }
    PetscBool left = PETSC_TRUE;
    TARV_PETSC(PetscOptionsHasName(nullptr, nullptr, "-pc_type", &left));
    EXPECT_FALSE(left);
    TARV_PETSC(PetscOptionsSetValue(nullptr, "-mat_product_clear", "false"));
    { const DefaultOption ignored("-mat_product_clear", "true"); }
    char value[16] = "";
    TARV_PETSC(PetscOptionsGetString(nullptr, nullptr, "-mat_product_clear", value, sizeof value, &left));
    EXPECT_TRUE(left);
    EXPECT_STREQ(value, "false");
    TARV_PETSC(PetscOptionsClearValue(nullptr, "-mat_product_clear"));
}

// A slender clamped beam's stiffness (condition number near 1e8, past what single precision
// resolves alone), scaled from far below to far above single precision's range: the refined
// solve gives back a known solution in a few iterations every time, to within the condition
// number times its residual of 1e-12.
TEST(SinglePrecisionCholesky, RecoversAKnownSolutionAtAnyScale) {
    const ClampedBeam beam(2);
    const FeMesh& mesh = beam.mesh;
    const DofLayout& layout = beam.layout;
    const MatrixPattern& pattern = beam.pattern;
    for (const double scale : {1e-45, 1.0, 1e45}) {
        MatHandle k = pattern.createMatrix();
        {
            SystemAssembler assembler(pattern, k, nullptr);
            addElasticElements(assembler, mesh, 210000 * scale);
            assembler.finish();
        }
        VecHandle expected = layout.createVector(), b = layout.createVector(), x = layout.createVector();
        TARV_PETSC(VecSetRandom(expected, nullptr));
        TARV_PETSC(MatMult(k, expected, b));
        SinglePrecisionCholesky factor(k);
        KspHandle ksp;
        TARV_PETSC(KSPCreate(PETSC_COMM_WORLD, ksp.out()));
        factor.precondition(ksp);
        TARV_PETSC(KSPSolve(ksp, b, x));
        KSPConvergedReason reason;
        PetscInt iterations = 0;
        TARV_PETSC(KSPGetConvergedReason(ksp, &reason));
        TARV_PETSC(KSPGetIterationNumber(ksp, &iterations));
        EXPECT_GT(reason, 0) << "scale " << scale;
        EXPECT_GE(iterations, 1);
        EXPECT_LE(iterations, 20) << "scale " << scale;
        PetscReal size = 0, error = 0;
        TARV_PETSC(VecNorm(expected, NORM_INFINITY, &size));
        TARV_PETSC(VecAXPY(x, -1.0, expected));
        TARV_PETSC(VecNorm(x, NORM_INFINITY, &error));
        EXPECT_LT(error, 1e-5 * size) << "scale " << scale;
    }
}

// The lowest modes of a slender clamped beam (a 2 x 3 section: no repeated frequency) by
// shift-invert on the refined single-precision factor, about a shift below zero (folded into the
// stiffness), against MUMPS's double-precision factor about 0. The beam's condition number (near
// 1e8) is near what the refinement resolves: the eigenvalues agree to 2e-7 (the frequencies to
// 1e-7; the bracket's to every printed digit) and the shapes to 1e-8. On several processes
// (tarvsolv_shift_invert_processes) every process has the eigenvalues and the first the shapes, of
// every unknown, as the modal analysis writes them from there.
TEST(SinglePrecisionCholesky, ShiftInvertFindsTheModesOfTheDoubleFactor) {
    const ClampedBeam beam(3);
    const FeMesh& mesh = beam.mesh;
    const DofLayout& layout = beam.layout;
    const MatrixPattern& pattern = beam.pattern;
    const auto modesOf = [&](double shift, bool doubleFactor) {
        MatHandle k = pattern.createMatrix(), m = pattern.createMatrix(false);
        SystemAssembler stiffness(pattern, k, nullptr), mass(pattern, m, nullptr, false);
        addElasticElements(stiffness, mesh, 210000);
        std::vector<double> me;
        for (int e = 0; e < mesh.elementCount(); ++e) {
            consistentMass(mesh, e, 7.85e-9, me);
            mass.addElement(mesh.elementNodes(e), me, nullptr);
        }
        stiffness.finish();
        mass.finish();
        return solveModes(k, m, 4, shift, layout, doubleFactor);
    };
    const ModesReport exact = modesOf(0, true);
    const ModesReport refined = modesOf(-0.01 * exact.eigenvalues.front(), false);
    ASSERT_EQ(refined.eigenvalues.size(), exact.eigenvalues.size());
    ASSERT_EQ(refined.vectors.size(), exact.vectors.size());
    for (std::size_t i = 0; i < exact.eigenvalues.size(); ++i) {
        EXPECT_NEAR(refined.eigenvalues[i], exact.eigenvalues[i], 2e-7 * exact.eigenvalues[i])
            << "mode " << i;
        if (!layout.onFirstProcess()) {
            EXPECT_TRUE(exact.vectors[i].empty() && refined.vectors[i].empty()) << "mode " << i;
            continue;
        }
        ASSERT_EQ(exact.vectors[i].size(), static_cast<std::size_t>(layout.dofCount())) << "mode " << i;
        ASSERT_EQ(refined.vectors[i].size(), exact.vectors[i].size()) << "mode " << i;
        double product = 0, a = 0, b = 0;
        for (std::size_t j = 0; j < exact.vectors[i].size(); ++j) {
            product += exact.vectors[i][j] * refined.vectors[i][j];
            a += exact.vectors[i][j] * exact.vectors[i][j];
            b += refined.vectors[i][j] * refined.vectors[i][j];
        }
        EXPECT_GT(std::abs(product) / std::sqrt(a * b), 1 - 1e-8) << "mode " << i;
    }
}

// A body with nothing holding it is refused by the direct solver, not solved into noise: its
// rigid-body motions make the refinement fail.
TEST(SinglePrecisionCholesky, RefusesABodyWithRigidBodyMotions) {
    const AssemblyCase c;
    const DofLayout free(c.mesh, 3, PETSC_COMM_WORLD);
    const MatrixPattern pattern(c.mesh, free);
    MatHandle k = pattern.createMatrix();
    VecHandle b = free.createVector(), x = free.createVector();
    SystemAssembler assembler(pattern, k, nullptr);
    addElasticElements(assembler, c.mesh, 210000);
    assembler.holdStrayNodes(c.mesh);
    assembler.finish();
    TARV_PETSC(VecSet(b, 1.0));
    try {
        solveLinear(k, b, x, SolverChoice::Direct, kIterativeTolerance, free, c.mesh);
        ADD_FAILURE() << "a body with six rigid-body motions was solved";

    } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), HasSubstr("not restrained enough"));
    }
}

// A quadratic box's stiffness plus its mass, clamped at x = 0 with y left free there, so that held
// and free unknowns share node blocks and those blocks have rows and columns left empty.
struct StepMatrixCase {
    FeMesh mesh = makeBoxMesh({{}, {6, 2, 2}, 3, 1, 1, true});
    DofLayout layout{mesh, 3, PETSC_COMM_WORLD};
    MatHandle a;

    StepMatrixCase() {
        for (int n = 0; n < mesh.nodeCount(); ++n)
            if (mesh.node(n).x == 0) {
                layout.prescribe(3 * n, 0.0);
                layout.prescribe(3 * n + 2, 0.0);
            }
        const MatrixPattern pattern(mesh, layout);
        a = pattern.createMatrix();
        SystemAssembler assembler(pattern, a, nullptr);
        addElasticElements(assembler, mesh, 210000, true);
        assembler.finish();
        TARV_PETSC(MatShift(a, 1.0));
        TARV_PETSC(MatSetOption(a, MAT_SYMMETRIC, PETSC_TRUE));
        TARV_PETSC(MatSetOption(a, MAT_SPD, PETSC_TRUE));
    }
    // A smooth field along the box, different for each `k`.
    VecHandle field(int k) const {
        VecHandle v = layout.createVector();
        PetscInt begin = 0, end = 0;
        TARV_PETSC(VecGetOwnershipRange(v, &begin, &end));
        for (PetscInt i = begin; i < end; ++i) {
            const Vec3 p = mesh.node(static_cast<int>(i / 3));
            TARV_PETSC(
                VecSetValue(v, i, std::sin((k + 1) * p.x + 0.3 * (i % 3)) + 0.1 * k * p.z, INSERT_VALUES));
        }
        TARV_PETSC(VecAssemblyBegin(v));
        TARV_PETSC(VecAssemblyEnd(v));
        return v;
    }
    VecHandle solve(Vec b) const {
        VecHandle x = layout.createVector();
        KspHandle ksp;
        TARV_PETSC(KSPCreate(layout.comm(), ksp.out()));
        solveByFactorisation(ksp, a, b, x);
        return x;
    }
};

double relativeDistance(Vec x, Vec y) {
    VecHandle d;
    TARV_PETSC(VecDuplicate(x, d.out()));
    TARV_PETSC(VecWAXPY(d, -1.0, y, x));
    PetscReal norm = 0, size = 0;
    TARV_PETSC(VecNorm(d, NORM_INFINITY, &norm));
    TARV_PETSC(VecNorm(y, NORM_INFINITY, &size));
    return norm / size;
}

// The copy's products are the matrix's, the held unknowns' rows and columns, left out of the
// pattern, included.
TEST(SymmetricBlockCopy, MultipliesAsTheAssembledMatrix) {
    const StepMatrixCase m;
    MatHandle copy = symmetricBlockCopy(m.a);
    VecHandle x = m.field(2), want = m.layout.createVector(), got = m.layout.createVector();
    TARV_PETSC(MatMult(m.a, x, want));
    TARV_PETSC(MatMult(copy, x, got));
    EXPECT_LT(relativeDistance(got, want), 1e-14);
}

// Solutions added to the span are given back by the projection of their right-hand sides, a
// solution already in it adds nothing, a new one's projection leaves a residual orthogonal to the
// span, and a full span starts again from the last solution.
TEST(EnergyBasis, ProjectsOntoTheSolutionsItHoldsAndStartsAgainWhenFull) {
    const StepMatrixCase m;
    EnergyBasis basis(m.a, 4);
    VecHandle start = m.layout.createVector(), x = m.layout.createVector(), r = m.layout.createVector();
    for (int k = 0; k < 3; ++k) {
        VecHandle b = m.field(k);
        basis.project(b, start);
        basis.update(start, m.solve(b));
        ASSERT_EQ(basis.size(), k + 1);
        for (int j = 0; j <= k; ++j) {
            VecHandle bj = m.field(j);
            basis.project(bj, x);
            EXPECT_LT(relativeDistance(x, m.solve(bj)), 1e-10) << "solution " << j << " of " << k + 1;
        }
    }
    VecHandle b = m.field(0), zero = m.layout.createVector();
    TARV_PETSC(VecAXPBYPCZ(b, 2.0, -0.5, 1.0, m.field(1), m.field(2)));
    basis.update(zero, m.solve(b));
    EXPECT_EQ(basis.size(), 3);

    VecHandle b4 = m.field(5);
    basis.project(b4, start);
    TARV_PETSC(MatMult(m.a, start, r));
    TARV_PETSC(VecAYPX(r, -1.0, b4));
    PetscReal residual = 0, rhs = 0;
    TARV_PETSC(VecNorm(r, NORM_2, &residual));
    TARV_PETSC(VecNorm(b4, NORM_2, &rhs));
    EXPECT_GT(residual, 1e-3 * rhs) << "the fifth field's solution lies outside the span";
    for (int j = 0; j < 3; ++j) {
        VecHandle xj = m.solve(m.field(j));
        PetscScalar along = 0;
        PetscReal size = 0;
        TARV_PETSC(VecDot(r, xj, &along));
        TARV_PETSC(VecNorm(xj, NORM_2, &size));
        EXPECT_LT(std::abs(along), 1e-9 * size * residual) << j;
    }
    basis.update(start, m.solve(b4));
    EXPECT_EQ(basis.size(), 4);

    VecHandle b5 = m.field(7), x5 = m.solve(b5);
    basis.project(b5, start);
    basis.update(start, x5);
    EXPECT_EQ(basis.size(), 1);
    basis.project(b5, x);
    EXPECT_LT(relativeDistance(x, x5), 1e-10);
}

}  // namespace
}  // namespace tarvsolv::testing
