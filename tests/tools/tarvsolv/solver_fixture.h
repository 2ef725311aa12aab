#pragma once
// Runs whole solver jobs in a scratch folder: writes a mesh, a solver input and the result preamble
// as the add-on would, runs the solver in this process, and reads the result blocks back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <slepcsys.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/petsc_handles.h"
#include "fem/box_mesh.h"
#include "fem/fe_mesh.h"
#include "formats/result_writer.h"
#include "formats/solver_input.h"
#include "io/run_log.h"
#include "solver_run.h"
#include "support/scratch_folder.h"

namespace tarvsolv::testing {

using ::testing::HasSubstr;

// The structural steel of most jobs here.
constexpr double kSteelE = 210000, kSteelNu = 0.3;  // N/mm2

// PETSc and SLEPc live for the whole test program.
class PetscEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        int argc = 0;
        char** argv = nullptr;
        ASSERT_EQ(SlepcInitialize(&argc, &argv, nullptr, nullptr), 0);
        PetscPushErrorHandler(PetscReturnErrorHandler, nullptr);
    }
    void TearDown() override { SlepcFinalize(); }
};

// The number after the first `key` of `log` (`last`: the last one); NaN when there is none, which
// fails every comparison made with it.
inline double loggedNumber(const std::string& log, const std::string& key, bool last = false) {
    const auto at = last ? log.rfind(key) : log.find(key);
    return at == std::string::npos ? std::nan("") : std::atof(log.c_str() + at + key.size());
}

struct JobText {
    int analysisCode = 0;  // header "ana=": 0 statics, 3 modes, 1 steady heat
    std::string unit = "mm";
    std::string solve = "0,0,0,0,0";  // the solve dialog's rows 2 to 6
    std::vector<std::string> tables, materials, loads, restraints, constraints;
    // A thermal stress's thermal lines; each section is written when it has lines.
    std::vector<std::string> thermalMaterials, thermalLoads, thermalRestraints;
    // The result file's body list as the add-on starts it for a part; empty for an assembly.
    std::string bodies = "BODIES 1\n 1 6 12 8\nEND\n";
    // The section the add-on writes after the solve line for buckling ("BUCKLE"), large
    // displacements ("GSTEP") and forced vibrations ("DYNAMIC" and its damping line): its heading,
    // then its lines.
    std::vector<std::string> stepSection;
};

// The heat balance of a heat run's log: "heat in, heat out[, heat stored]: they balance to".
struct HeatBalance {
    double in = std::nan(""), out = std::nan(""), stored = std::nan(""), imbalance = std::nan("");
};

class SolverJob {
  public:
    explicit SolverJob(const std::string& name) : stem_(scratch_.file(name)) {}
    SolverJob(const std::string& name, const FeMesh& mesh) : SolverJob(name) { writeMesh(mesh); }

    std::string meshPath() const { return stem_ + ".meb"; }
    std::string inputPath() const { return stem_ + ".txt"; }
    std::string resultPath() const { return stem_ + ".out"; }
    std::string folder() const { return scratch_.path(); }

    void writeMesh(const FeMesh& mesh) {
        mesh_ = mesh;
        writeMeshFile(mesh, meshPath());
    }

    void writeInput(const JobText& job) {
        const auto indented = [](std::vector<std::string> lines) {
            for (auto& line : lines) line = " " + line;
            return lines;
        };
        std::vector<formats::SolverInputSection> sections{
            {"HEADER",
             {"0.001 " + job.unit + " scale=1 nod=" + std::to_string(mesh_.nodesPerElement) +
              " elem=0 ana=" + std::to_string(job.analysisCode) + " 1e-06 0 0"}},
            {"MODEL", {scratch_.file("dump.stp")}},
            {"MFILE", {meshPath()}},
            {"SOLVE", {job.solve}},
            {"TABLES", indented(job.tables)},
            {"MSET", {}},
            {"MATERIALS", job.materials},
            {"ESIZE", {}},
            {"LOADS", job.loads},
            {"RESTRAINTS", job.restraints},
            {"CONSTRAINTS", job.constraints}};
        for (const auto& [heading, lines] :
             {std::pair{"TMATERIALS", &job.thermalMaterials}, std::pair{"TLOADS", &job.thermalLoads},
              std::pair{"TRESTRAINTS", &job.thermalRestraints}})
            if (!lines->empty()) sections.push_back({heading, *lines});
        if (!job.stepSection.empty())
            sections.insert(sections.begin() + 4,
                            {job.stepSection[0], {job.stepSection.begin() + 1, job.stepSection.end()}});
        writeFile(inputPath(), formats::solverInputText(sections));
        writeFile(resultPath(), "MESHFILE\n" + meshPath() + "\n" + job.bodies);
        results_.reset();
    }

    // Writes the input and runs the solver: the error message, or "" on success.
    std::string solve(const JobText& job, SolverChoice solver = SolverChoice::Iterative) {
        writeInput(job);
        return run(solver);
    }

    // Solves a job the solver must refuse: its message, and the result file left as it was.
    std::string refused(const JobText& job, SolverChoice solver = SolverChoice::Iterative) {
        writeInput(job);
        const std::string before = resultText(), message = run(solver);
        EXPECT_EQ(resultText(), before) << message;
        return message;
    }

    // Another loadcase's result file `name` in this folder with a temperature block per entry of
    // `steps` (step, temperature of every node); answers its path.
    std::string writeTemperatures(const std::string& name, const std::vector<std::pair<int, double>>& steps) {
        std::string text = "MESHFILE\n" + meshPath() + "\n";
        for (const auto& [step, temperature] : steps)
            text += results::temperatureBlock(step, std::vector<double>(mesh_.nodeCount(), temperature));
        writeFile(scratch_.file(name), text);
        return scratch_.file(name);
    }

    // Runs the solver; the error message, or "" on success.
    std::string run(SolverChoice solver = SolverChoice::Iterative) {
        results_.reset();
        RunLog log(stem_ + ".slog", false, true);
        try {
            runSolverJob(inputPath(), solver, log);
        } catch (const std::exception& e) {
            return e.what();
        }
        return {};
    }

    std::string resultText() const { return results(); }
    std::string logText() const { return readFile(stem_ + ".slog"); }

    // The three numbers in parentheses after `label` in the log ("restraint on face 1: (x, y, z)");
    // `which` 1: the second such group of that line (a reaction's moment after its force).
    std::vector<double> logTriple(const std::string& label, int which = 0) const {
        const std::string text = logText();
        auto at = text.find(label + ": (");
        for (int k = 0; k < which && at != std::string::npos; ++k) at = text.find("), (", at);
        std::vector<double> v(3, std::nan(""));
        if (at != std::string::npos)
            std::sscanf(text.c_str() + text.find('(', at + (which ? 1 : 0)) + 1, "%lf, %lf, %lf", &v[0],
                        &v[1], &v[2]);
        return v;
    }

    // The last heat balance of the log; NaN where a figure is missing.
    HeatBalance heatBalance() const {
        const std::string text = logText();
        HeatBalance b;
        const auto at = text.rfind("heat in ");
        if (at != std::string::npos)
            std::sscanf(text.c_str() + at, "heat in %lf, heat out %lf, heat stored %lf: they balance to %lf",
                        &b.in, &b.out, &b.stored, &b.imbalance);
        return b;
    }

    // The share of the loads by which the log's reactions and loads fail to balance (NaN: no table).
    double logBalance() const { return loggedNumber(logText(), "reactions and loads balance to "); }

    // The numbers after the node number of each line of block `header` ("DISP 1"), flattened.
    std::vector<double> nodeBlock(const std::string& header) const {
        std::istringstream in = blockLines(header + "\n");
        std::string line;
        std::vector<double> values;
        while (std::getline(in, line) && !line.empty()) {
            std::istringstream fields(line);
            double node, v;
            fields >> node;
            while (fields >> v) values.push_back(v);
        }
        return values;
    }

    // The displacements of block "DISP `step`", three a node: a failure, and NaN where values are
    // missing, when the block does not hold every node.
    std::vector<double> displacements(int step = 1) const {
        std::vector<double> u = nodeBlock("DISP " + std::to_string(step));
        EXPECT_EQ(u.size(), 3u * mesh_.nodeCount()) << "DISP " << step;
        u.resize(3u * mesh_.nodeCount(), std::nan(""));
        return u;
    }

    // The step numbers of the blocks whose header starts with `prefix` ("DISP "), in file order.
    std::vector<int> blockSteps(const std::string& prefix) const {
        std::istringstream in(results());
        std::vector<int> steps;
        for (std::string line; std::getline(in, line);)
            if (line.rfind(prefix, 0) == 0) steps.push_back(std::stoi(line.substr(prefix.size())));
        return steps;
    }

    // The natural frequencies of the "NATU" line; empty without one.
    std::vector<double> modeFrequencies() const {
        const std::string text = resultText();
        const auto at = text.find("NATU\n");
        std::istringstream line(
            at == std::string::npos ? "" : text.substr(at + 5, text.find('\n', at + 5) - at - 5));
        std::vector<double> f;
        for (double v; line >> v;) f.push_back(v);
        return f;
    }

    // Component `c` (0 sx .. 5 txz) of the stress block `block` averaged over the corner lines of
    // each node; NaN for nodes without corner lines (mid-side nodes).
    std::vector<double> nodalStress(int c, const std::string& block = "STRES 1") const {
        const std::vector<double> nodes = cornerColumn(block, -1), values = cornerColumn(block, c);
        std::vector<double> sum(mesh_.nodeCount()), count(mesh_.nodeCount());
        for (std::size_t k = 0; k < nodes.size(); ++k) {
            sum[static_cast<std::size_t>(nodes[k]) - 1] += values[k];
            count[static_cast<std::size_t>(nodes[k]) - 1] += 1;
        }
        for (std::size_t n = 0; n < sum.size(); ++n) sum[n] = count[n] > 0 ? sum[n] / count[n] : std::nan("");
        return sum;
    }

    // Column `column` after the element and node numbers (-1: the node number) of every line of the
    // element block `header` ("STRES 10", "STRAI 1").
    std::vector<double> cornerColumn(const std::string& header, int column) const {
        std::istringstream in = blockLines(header + "\n");
        std::string line;
        std::getline(in, line);  // caption
        std::vector<double> values;
        while (std::getline(in, line) && !line.empty()) {
            std::istringstream fields(line);
            double v = 0;
            for (int k = 0; k <= column + 2; ++k) fields >> v;
            values.push_back(v);
        }
        return values;
    }

    const FeMesh& mesh() const { return mesh_; }

  private:
    // The result file as read after the last run; read again after the next.
    const std::string& results() const {
        if (!results_) results_ = readFile(resultPath());
        return *results_;
    }

    // The lines of the first block whose header line starts with `start` (ending it with "\n" asks for
    // the whole header), up to the blank line that ends the block.
    std::istringstream blockLines(const std::string& start) const {
        const std::string& text = results();
        const auto at = text.find("\n" + start);
        if (at == std::string::npos) return {};
        const auto from = text.find('\n', at + 1), blank = text.find("\n\n", from);
        return std::istringstream(text.substr(from + 1, blank == std::string::npos ? blank : blank - from));
    }

    ScratchFolder scratch_;
    std::string stem_;
    FeMesh mesh_;
    mutable std::optional<std::string> results_;
};

// The nodes of `mesh` whose position satisfies `where`.
template <typename Pred>
std::vector<int> nodesWhere(const FeMesh& mesh, Pred where) {
    std::vector<int> out;
    for (int n = 0; n < mesh.nodeCount(); ++n)
        if (where(mesh.node(n))) out.push_back(n);
    return out;
}

// Mean over `nodes` of one component of node values `stride` a node, passing over NaN (no value).
inline double mean(const std::vector<double>& values, const std::vector<int>& nodes, int stride = 1,
                   int component = 0) {
    double sum = 0;
    int count = 0;
    for (int n : nodes) {
        const double v = values[static_cast<std::size_t>(stride) * n + component];
        if (std::isnan(v)) continue;
        sum += v;
        ++count;
    }
    return count ? sum / count : std::nan("");
}

// Mean over the nodes of `mesh` on the plane x = `x` of one component of node values `stride` a node.
inline double meanAtX(const std::vector<double>& values, const FeMesh& mesh, double x, int stride = 1,
                      int component = 0) {
    return mean(values, nodesWhere(mesh, [x](const Vec3& p) { return std::abs(p.x - x) < 1e-9; }), stride,
                component);
}

// Mean of all the values that are numbers (NaN: a node without a value).
inline double mean(const std::vector<double>& values) {
    double sum = 0;
    int count = 0;
    for (double v : values)
        if (!std::isnan(v)) sum += v, ++count;
    return count ? sum / count : std::nan("");
}

inline double largestMagnitude(const std::vector<double>& values) {
    double largest = 0;
    for (double v : values) largest = std::max(largest, std::abs(v));
    return largest;
}

// Every entry of a matrix, as a dense row-major array on every process of the matrix's.
inline std::vector<double> dense(Mat m) {
    PetscInt rows = 0, columns = 0, first = 0, end = 0;
    TARV_PETSC(MatGetSize(m, &rows, &columns));
    TARV_PETSC(MatGetOwnershipRange(m, &first, &end));
    std::vector<double> out(static_cast<std::size_t>(rows) * columns, 0.0);
    for (PetscInt r = first; r < end; ++r) {
        PetscInt count = 0;
        const PetscInt* cols = nullptr;
        const PetscScalar* values = nullptr;
        TARV_PETSC(MatGetRow(m, r, &count, &cols, &values));
        for (PetscInt k = 0; k < count; ++k) out[static_cast<std::size_t>(r) * columns + cols[k]] = values[k];
        TARV_PETSC(MatRestoreRow(m, r, &count, &cols, &values));
    }
    // Each process reads its own rows; every process answers the whole matrix.
    MPI_Comm comm = PETSC_COMM_SELF;
    TARV_PETSC(PetscObjectGetComm(reinterpret_cast<PetscObject>(m), &comm));
    MPI_Allreduce(MPI_IN_PLACE, out.data(), static_cast<int>(out.size()), MPI_DOUBLE, MPI_SUM, comm);
    return out;
}

// The largest difference between two lists of one length (infinity when the lengths differ).
inline double largestDifference(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return HUGE_VAL;
    double largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

// The job solved by both solvers: the largest displacement component and the largest difference
// between the two solutions, relative to it.
struct SolverAgreement {
    double largest = 0;
    double relativeDifference = 0;
};

// `block`: the result block compared ("DISP 1", "TEMP 100"); the direct solution stays in the job.
inline SolverAgreement solveBothWays(SolverJob& job, const JobText& text,
                                     const std::string& block = "DISP 1") {
    EXPECT_EQ(job.solve(text, SolverChoice::Iterative), "");
    const auto iterative = job.nodeBlock(block);
    EXPECT_EQ(job.solve(text, SolverChoice::Direct), "");
    const auto direct = job.nodeBlock(block);
    SolverAgreement out;
    out.largest = largestMagnitude(direct);
    out.relativeDifference = out.largest > 0 ? largestDifference(direct, iterative) / out.largest : HUGE_VAL;
    return out;
}

// The heat of `label` ("temperature held on face 1") in the log's heat balance, signed: heat
// leaving there is negative.
inline double heldHeat(const SolverJob& job, const std::string& label) {
    const std::string log = job.logText();
    const auto at = log.rfind(label + ": ");
    double value = std::nan("");
    char way[8] = "";
    if (at != std::string::npos) std::sscanf(log.c_str() + at + label.size() + 2, "%lf %7s", &value, way);
    return std::string(way) == "out" ? -value : value;
}

// The numbers after `what` ("force ", "largest pressure ") in the status lines the run logged for
// `face`, in log order: "... on face 5: n nodes in contact, force F (...), largest pressure P".
inline std::vector<double> loggedHistory(const SolverJob& job, int face, const std::string& what) {
    std::istringstream log(job.logText());
    const std::string key = "on face " + std::to_string(face) + ": ";
    std::vector<double> values;
    for (std::string line; std::getline(log, line);) {
        const auto at = line.find(key);
        const auto f = at == std::string::npos ? at : line.find(what, at);
        if (f != std::string::npos) values.push_back(std::stod(line.substr(f + what.size())));
    }
    return values;
}

// The last of those numbers; NaN when there is none.
inline double logged(const SolverJob& job, int face, const std::string& what) {
    const std::vector<double> values = loggedHistory(job, face, what);
    return values.empty() ? std::nan("") : values.back();
}

// The mode values (frequencies or load factors) of a model held by contact springs against those of
// the model held rigidly: as many, each within 1e-3, and as the springs give a trace, none above.
inline void expectSpringsGiveATrace(const std::vector<double>& got, const std::vector<double>& rigid) {
    ASSERT_EQ(got.size(), rigid.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i], rigid[i], 1e-3 * rigid[i]) << "mode " << i + 1;
        EXPECT_LE(got[i], rigid[i] * (1 + 1e-9)) << "mode " << i + 1;
    }
}

// Two box meshes in one mesh, with separate nodes; the second box's faces are numbered 7 to 12,
// as the add-on numbers the faces of a part's second body.
inline FeMesh joined(const FeMesh& a, FeMesh b) {
    FeMesh out = a;
    const int offset = a.nodeCount();
    const int elementOffset = a.elementCount();
    out.xyz.insert(out.xyz.end(), b.xyz.begin(), b.xyz.end());
    for (int n : b.conn) out.conn.push_back(n + offset);
    for (Facet f : b.facets) {
        f.tag += 6;
        f.element += elementOffset;
        out.facets.push_back(f);
    }
    return out;
}

// Steel in the add-on's millimetre units: N/mm2, 1/C, kg/mm3.
inline const char* kSteel = "1  210000,0.3,1.2e-05,7.85e-06,0,0,0,0,0,0,0,0,0";

// A quarter of a ring from radius `inner` to `outer` in the first quadrant, `thickness` along z:
// a quadratic box of `radial` by `around` cells bent round, `graded` packing them toward the bore.
inline FeMesh quarterRing(double inner, double outer, double thickness, int radial, int around,
                          bool graded = false) {
    FeMesh mesh = makeBoxMesh({{}, {1, 1, thickness}, radial, around, 1, true});
    mapNodes(mesh, [&](const Vec3& q) {
        const double r = inner + (outer - inner) * (graded ? q.x * q.x : q.x),
                     theta = std::numbers::pi / 2 * q.y;
        return Vec3{r * std::cos(theta), r * std::sin(theta), q.z};
    });
    return mesh;
}

// A 20 x 5 x 5 quadratic beam of four cells along X.
inline FeMesh shortBeam() {
    return makeBoxMesh({{}, {20, 5, 5}, 4, 1, 1, true});
}

// A job in steel with the box's face 1 (x = min) held: `loads`, in the analysis of header code
// `code` with its solve line.
inline JobText clampedSteel(std::vector<std::string> loads, int code = 0, std::string solve = "0,0,0,0,0") {
    JobText text;
    text.analysisCode = code;
    text.solve = std::move(solve);
    text.materials = {kSteel};
    text.loads = std::move(loads);
    text.restraints = {"bor 1 0 0 0"};
    return text;
}

// Steel's heat constants in millimetre units: k 0.05 W/(mm C), rho 7.85e-6 kg/mm3, c 460 J/(kg C).
inline const char* kHeatSteel = "1  0.05,0,0,7.85e-06,460";

// A heat job in that steel under `loads`: steady (code 1), or transient (2) with its solve line
// (initial temperature, steps, step size, steps between printed results, unused).
inline JobText heatJob(std::vector<std::string> loads, int code = 1, std::string solve = "0,0,0,0,0") {
    JobText text = clampedSteel(std::move(loads), code, std::move(solve));
    text.materials = {kHeatSteel};
    text.restraints.clear();
    return text;
}

// A static job: the beam's face 1 held, face 2 under a pressure of 10.
inline JobText heldBeamUnderPressure() {
    return clampedSteel({"bol 2 1 10"});
}

}  // namespace tarvsolv::testing
