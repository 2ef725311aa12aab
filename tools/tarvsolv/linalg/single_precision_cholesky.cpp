#include "linalg/single_precision_cholesky.h"

#include <metis.h>
#include <smumps_c.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/agree_on_failure.h"
#include "base/gathered_on_first.h"
#include "base/petsc_handles.h"

namespace tarvsolv {
namespace {

// The message for a failed MUMPS phase; INFOG(1) and INFOG(2) are MUMPS's error and its detail.
std::string failureText(int error, int detail) {
    if (error == -10)
        return "the factorisation failed: the model is not restrained enough (singular) or a material is "
               "invalid";
    if (error == -5 || error == -7 || error == -13 || error == -19)
        return "the factorisation ran out of memory (MUMPS error " + std::to_string(error) +
               "): choose the iterative solver or a coarser mesh";
    return "the factorisation failed (MUMPS error " + std::to_string(error) + ", " + std::to_string(detail) +
           ")";
}

}  // namespace

// MUMPS's instance, with the right-hand side gathered on the first process (MUMPS takes and
// gives it there) and the scatter between it and the distributed vectors.
struct SinglePrecisionCholesky::Mumps {
    SMUMPS_STRUC_C id{};
    bool started = false;
    ScatterHandle toFirst;
    VecHandle gathered;
    std::vector<float> rhs;
    double scale = 1;  // the factor is of scale * A

    // ICNTL(i) and INFOG(i), numbered from 1 as MUMPS's documentation does.
    int& icntl(int i) { return id.icntl[i - 1]; }
    int infog(int i) const { return id.infog[i - 1]; }
    void run(int job) {
        id.job = job;
        smumps_c(&id);
    }
    // Throws the failure of the last phase.
    void check() const {
        if (infog(1) < 0) throw std::runtime_error(failureText(infog(1), infog(2)));
    }
    ~Mumps() {
        if (started) run(-2);
    }
};

namespace {

// Each process's rows of the upper triangle, as MUMPS's distributed triplets (numbered from 1).
struct UpperTriangle {
    std::vector<MUMPS_INT> rows, columns;
    std::vector<float> values;
};

// The values are scaled by `scale` on the way to single precision, which keeps a stiffness in any
// unit system within single precision's range.
UpperTriangle upperTriangle(Mat a, double scale) {
    PetscInt first = 0, end = 0;
    TARV_PETSC(MatGetOwnershipRange(a, &first, &end));
    MatInfo info;
    TARV_PETSC(MatGetInfo(a, MAT_LOCAL, &info));
    UpperTriangle upper;
    const auto expected = static_cast<std::size_t>((info.nz_used + (end - first)) / 2);
    upper.rows.reserve(expected);
    upper.columns.reserve(expected);
    upper.values.reserve(expected);
    for (PetscInt r = first; r < end; ++r) {
        PetscInt count = 0;
        const PetscInt* columns = nullptr;
        const PetscScalar* values = nullptr;
        TARV_PETSC(MatGetRow(a, r, &count, &columns, &values));
        for (PetscInt k = 0; k < count; ++k) {
            if (columns[k] < r) continue;
            upper.rows.push_back(static_cast<MUMPS_INT>(r + 1));
            upper.columns.push_back(static_cast<MUMPS_INT>(columns[k] + 1));
            upper.values.push_back(static_cast<float>(scale * values[k]));
        }
        TARV_PETSC(MatRestoreRow(a, r, &count, &columns, &values));
    }
    return upper;
}

// The graph of this process's nodes (blocks of `block` unknowns, whose rows are taken together):
// each node's neighbours, ascending, without itself.
struct NodeGraph {
    std::vector<idx_t> degrees, neighbours;
};

NodeGraph localNodeGraph(Mat a, int block) {
    PetscInt first = 0, end = 0;
    TARV_PETSC(MatGetOwnershipRange(a, &first, &end));
    NodeGraph graph;
    std::vector<idx_t> row;
    for (PetscInt node = first / block; node < end / block; ++node) {
        row.clear();
        for (int d = 0; d < block; ++d) {
            PetscInt count = 0;
            const PetscInt* columns = nullptr;
            TARV_PETSC(MatGetRow(a, block * node + d, &count, &columns, nullptr));
            for (PetscInt k = 0; k < count; ++k)
                if (columns[k] / block != node) row.push_back(static_cast<idx_t>(columns[k] / block));
            TARV_PETSC(MatRestoreRow(a, block * node + d, &count, &columns, nullptr));
        }
        std::sort(row.begin(), row.end());
        row.erase(std::unique(row.begin(), row.end()), row.end());
        graph.degrees.push_back(static_cast<idx_t>(row.size()));
        graph.neighbours.insert(graph.neighbours.end(), row.begin(), row.end());
    }
    return graph;
}

// Each of `count` numbered options "<prefix>1", "<prefix>2", ... that the command line sets, into
// `into` (from index 0), read by PETSc's reader `get` of its type.
template <typename Value, typename Into>
void readNumberedOptions(const std::string& prefix, int count, Into* into,
                         PetscErrorCode (*get)(PetscOptions, const char[], const char[], Value*,
                                               PetscBool*)) {
    for (int i = 1; i <= count; ++i) {
        Value value{};
        PetscBool set = PETSC_FALSE;
        TARV_PETSC(get(nullptr, nullptr, (prefix + std::to_string(i)).c_str(), &value, &set));
        if (set) into[i - 1] = static_cast<Into>(value);
    }
}

// ICNTL and CNTL values given on the command line under the names PETSc's own MUMPS interface reads
// (-mat_mumps_icntl_7 4, -mat_mumps_cntl_1 0.01, ...), over this solver's choices, so that an
// ordering or a memory relaxation can be tried without a new build. Asking for MUMPS's statistics
// (ICNTL(4) above 0) also opens its output streams on the console.
void applyOptions(SMUMPS_STRUC_C& id) {
    readNumberedOptions("-mat_mumps_icntl_", 60, id.icntl, PetscOptionsGetInt);
    readNumberedOptions("-mat_mumps_cntl_", 15, id.cntl, PetscOptionsGetReal);
    if (id.icntl[3] > 0)
        for (int stream = 0; stream < 3; ++stream)
            if (id.icntl[stream] < 0) id.icntl[stream] = 6;
}

// METIS's nested dissection of a graph in compressed rows: each node's position in the order.
bool metisPositions(std::vector<idx_t>& start, std::vector<idx_t>& neighbours, std::vector<idx_t>& position) {
    idx_t count = static_cast<idx_t>(start.size()) - 1;
    position.assign(static_cast<std::size_t>(count), 0);
    if (count == 0) return true;
    std::vector<idx_t> order(static_cast<std::size_t>(count));
    return METIS_NodeND(&count, start.data(), neighbours.data(), nullptr, nullptr, order.data(),
                        position.data()) == METIS_OK;
}

// Runs `order` (false when METIS failed); every process stops when it failed on any.
template <class Order>
void orderOrStopAll(MPI_Comm comm, Order&& order) {
    agreeOnFailure(comm, [&] {
        if (!order()) throw std::runtime_error("the fill-reducing ordering failed (METIS)");
    });
}

// The pivot positions (from 1) of `block` unknowns a node, on the first process (empty elsewhere),
// from each process's node positions in its own rows, which the first gathers.
std::vector<MUMPS_INT> pivotsOnFirst(const std::vector<idx_t>& positions, int block, MPI_Comm comm) {
    const std::vector<idx_t> all = gatheredOnFirst(positions, comm);
    std::vector<MUMPS_INT> pivots(all.size() * static_cast<std::size_t>(block));
    for (std::size_t node = 0; node < all.size(); ++node)
        for (int d = 0; d < block; ++d)
            pivots[block * node + d] = static_cast<MUMPS_INT>(block * all[node] + d + 1);
    return pivots;
}

// The whole graph gathered on the first process and ordered there.
std::vector<MUMPS_INT> gatheredDissection(const NodeGraph& local, int block, MPI_Comm comm) {
    const std::vector<idx_t> degrees = gatheredOnFirst(local.degrees, comm);
    std::vector<idx_t> neighbours = gatheredOnFirst(local.neighbours, comm);
    int rank = 0;
    MPI_Comm_rank(comm, &rank);
    std::vector<idx_t> start(degrees.size() + 1, 0), position;
    for (std::size_t k = 0; k < degrees.size(); ++k) start[k + 1] = start[k] + degrees[k];
    orderOrStopAll(comm, [&] { return rank != 0 || metisPositions(start, neighbours, position); });
    return pivotsOnFirst(position, block, comm);
}

// Which of two processes gives its boundary nodes to the separator: the one whose rows have more
// edges in the node graph, the earlier one on a tie. The pieces are of equal node counts, but a held
// node keeps only its diagonal and has no edges, so a piece with a held face carries less of the
// factor; the heavier piece giving up the separator brings the processes' shares of the factor
// closer (on the 611,361-unknown bracket on two processes, 299 and 273 M entries against 354 and
// 208 M when the earlier process gave it).
class SeparatorSide {
  public:
    SeparatorSide(const NodeGraph& local, idx_t endNode, MPI_Comm comm) {
        int size = 1;
        MPI_Comm_size(comm, &size);
        MPI_Comm_rank(comm, &rank_);
        const long long mine[2] = {static_cast<long long>(endNode),
                                   static_cast<long long>(local.neighbours.size())};
        std::vector<long long> all(2 * static_cast<std::size_t>(size));
        MPI_Allgather(mine, 2, MPI_LONG_LONG, all.data(), 2, MPI_LONG_LONG, comm);
        for (int p = 0; p < size; ++p) {
            ends_.push_back(static_cast<idx_t>(all[2 * p]));
            edges_.push_back(all[2 * p + 1]);
        }
    }
    // Whether this process's node next to `node`, another process's, goes into the separator.
    bool takes(idx_t node) const {
        const int owner =
            static_cast<int>(std::upper_bound(ends_.begin(), ends_.end(), node) - ends_.begin());
        return edges_[rank_] > edges_[owner] || (edges_[rank_] == edges_[owner] && rank_ < owner);
    }

  private:
    int rank_ = 0;
    std::vector<idx_t> ends_;  // each process's end node
    std::vector<long long> edges_;
};

// The nodes of a process's rows that have a neighbour in another process's rows and are on the
// side SeparatorSide picks: together they separate the processes' rows from one another (an edge
// between two processes has its end on one side of every pair), and are few when each process owns
// a compact piece of the part.
std::vector<char> separatorNodes(const NodeGraph& local, idx_t firstNode, idx_t endNode, MPI_Comm comm) {
    const SeparatorSide side(local, endNode, comm);
    std::vector<char> separator(local.degrees.size(), 0);
    std::size_t at = 0;
    for (std::size_t k = 0; k < local.degrees.size(); ++k)
        for (idx_t j = 0; j < local.degrees[k]; ++j, ++at) {
            const idx_t w = local.neighbours[at];
            if (!separator[k] && (w < firstNode || w >= endNode) && side.takes(w)) separator[k] = 1;
        }
    return separator;
}

// Nested dissection with the processes' rows as its first level: each process orders the rest of its
// rows by METIS at the same time as the others, and the separator (separatorNodes) comes last, in
// the order of the rows. None, on every process, when the separator is too large for that to pay
// (rows that are not compact pieces); the caller then orders the gathered graph.
std::optional<std::vector<MUMPS_INT>> dissectionByProcesses(const NodeGraph& local, idx_t firstNode,
                                                            idx_t endNode, int block, MPI_Comm comm) {
    const std::vector<char> separator = separatorNodes(local, firstNode, endNode, comm);
    std::vector<idx_t> inner(separator.size(), -1);  // the local number of a node not in the separator
    idx_t inners = 0, separating = 0;
    for (std::size_t k = 0; k < separator.size(); ++k) separator[k] ? ++separating : (inner[k] = inners++);
    long long counts[2] = {separating, inners + separating}, total[2] = {0, 0};
    MPI_Allreduce(counts, total, 2, MPI_LONG_LONG, MPI_SUM, comm);
    // A separator of a twentieth of the nodes would be a dense block of much of the factor's work.
    if (20 * total[0] > total[1]) return std::nullopt;
    std::vector<idx_t> start{0}, neighbours;
    std::size_t at = 0;
    for (std::size_t k = 0; k < separator.size(); ++k) {
        for (idx_t j = 0; j < local.degrees[k]; ++j, ++at) {
            const idx_t w = local.neighbours[at];
            if (separator[k] || w < firstNode || w >= endNode || separator[w - firstNode]) continue;
            neighbours.push_back(inner[w - firstNode]);
        }
        if (!separator[k]) start.push_back(static_cast<idx_t>(neighbours.size()));
    }
    std::vector<idx_t> position;
    orderOrStopAll(comm, [&] { return metisPositions(start, neighbours, position); });
    // Positions: the processes' inner nodes one process after another, then the separator's.
    long long mine[2] = {inners, separating}, before[2] = {0, 0};
    MPI_Exscan(mine, before, 2, MPI_LONG_LONG, MPI_SUM, comm);
    int rank = 0;
    MPI_Comm_rank(comm, &rank);
    if (rank == 0) before[0] = before[1] = 0;  // MPI_Exscan leaves the first process's undefined
    const long long innerTotal = total[1] - total[0];
    std::vector<idx_t> positions(separator.size());
    idx_t nextSeparating = 0;
    for (std::size_t k = 0; k < separator.size(); ++k)
        positions[k] = static_cast<idx_t>(separator[k] ? innerTotal + before[1] + nextSeparating++
                                                       : before[0] + position[inner[k]]);
    return pivotsOnFirst(positions, block, comm);
}

// A nested-dissection pivot order as MUMPS's PERM_IN (the pivot position of each unknown, from 1),
// on the first process (empty elsewhere), each node's unknowns after one another. On several
// processes each orders its own rows (dissectionByProcesses), which halves the ordering's time
// against the first process ordering the whole graph alone; rows that are not compact pieces are
// gathered and ordered whole. MUMPS's own orderings in this build are sequential too and slower:
// PORD gives as many factor entries and a seventh fewer operations, but its analysis takes twice
// as long and its factorisation was no faster; AMD, AMF and QAMD give 1.4 to 2.7 times the entries. This
// MUMPS has neither METIS nor (PT-)SCOTCH, so it has no parallel analysis.
std::vector<MUMPS_INT> nestedDissection(Mat a, int block, MPI_Comm comm) {
    const NodeGraph local = localNodeGraph(a, block);
    int size = 1;
    MPI_Comm_size(comm, &size);
    if (size > 1) {
        PetscInt first = 0, end = 0;
        TARV_PETSC(MatGetOwnershipRange(a, &first, &end));
        std::optional<std::vector<MUMPS_INT>> pivots = dissectionByProcesses(
            local, static_cast<idx_t>(first / block), static_cast<idx_t>(end / block), block, comm);
        if (pivots) return std::move(*pivots);
    }
    return gatheredDissection(local, block, comm);
}

PetscErrorCode applyShell(PC pc, Vec in, Vec out) {
    void* context = nullptr;
    const PetscErrorCode code = PCShellGetContext(pc, &context);
    if (code != 0) return code;
    return static_cast<SinglePrecisionCholesky*>(context)->apply(in, out);
}

}  // namespace

SinglePrecisionCholesky::SinglePrecisionCholesky(Mat a) : mumps_(std::make_unique<Mumps>()), a_(a) {
    MPI_Comm comm = PetscObjectComm(reinterpret_cast<PetscObject>(a));
    Mumps& m = *mumps_;
    m.id.par = 1;  // the first process works too
    m.id.sym = 1;  // symmetric positive definite: no pivoting
    m.id.comm_fortran = static_cast<MUMPS_INT>(MPI_Comm_c2f(comm));
    m.run(-1);
    m.check();
    m.started = true;
    factorise(comm);
    VecHandle layout;
    TARV_PETSC(MatCreateVecs(a, layout.out(), nullptr));
    TARV_PETSC(VecScatterCreateToZero(layout, m.toFirst.out(), m.gathered.out()));
    PetscInt held = 0;
    TARV_PETSC(VecGetLocalSize(m.gathered, &held));
    m.rhs.resize(static_cast<std::size_t>(held));
}

void SinglePrecisionCholesky::factorise(MPI_Comm comm) {
    Mumps& m = *mumps_;
    m.icntl(1) = m.icntl(2) = m.icntl(3) = -1;  // no output streams
    m.icntl(4) = 0;
    m.icntl(18) = 3;  // each process gives its own rows
    m.icntl(24) = 1;  // count null pivots instead of dividing by them
    PetscInt n = 0, block = 1;
    TARV_PETSC(MatGetSize(a_, &n, nullptr));
    TARV_PETSC(MatGetBlockSize(a_, &block));
    m.id.n = static_cast<MUMPS_INT>(n);
    if (block > 1) m.icntl(15) = -static_cast<int>(block);  // analyse the graph of the nodes
    m.icntl(7) = 1;  // the pivot order given: METIS's nested dissection below
    applyOptions(m.id);
    // MUMPS takes the pivot order on the first process, however many take part.
    std::vector<MUMPS_INT> pivots;
    if (m.icntl(7) == 1 && m.icntl(28) != 2) {
        // An event of its own in -log_view: the ordering is a stage of its own before MUMPS's.
        static PetscLogEvent ordering = 0;
        if (!ordering) TARV_PETSC(PetscLogEventRegister("METIS ordering", MAT_CLASSID, &ordering));
        TARV_PETSC(PetscLogEventBegin(ordering, a_, nullptr, nullptr, nullptr));
        pivots = nestedDissection(a_, static_cast<int>(block), comm);
        TARV_PETSC(PetscLogEventEnd(ordering, a_, nullptr, nullptr, nullptr));
    }
    m.id.perm_in = pivots.empty() ? nullptr : pivots.data();
    PetscReal largest = 0;
    TARV_PETSC(MatNorm(a_, NORM_MAX, &largest));
    if (!(largest > 0) || !std::isfinite(largest))
        throw std::runtime_error("the matrix is zero or not finite: a material or load is invalid");
    m.scale = 1 / largest;
    UpperTriangle upper = upperTriangle(a_, m.scale);
    m.id.nnz_loc = static_cast<MUMPS_INT8>(upper.values.size());
    m.id.irn_loc = upper.rows.data();
    m.id.jcn_loc = upper.columns.data();
    m.id.a_loc = upper.values.data();
    m.run(4);  // analysis and factorisation; neither the triplets nor the order is needed after it
    m.id.irn_loc = m.id.jcn_loc = m.id.perm_in = nullptr;
    m.id.a_loc = nullptr;
    m.check();
    if (m.infog(28) > 0)
        throw std::runtime_error("the stiffness matrix is singular (" + std::to_string(m.infog(28)) +
                                 " null pivots): the model is not restrained enough");
}

SinglePrecisionCholesky::~SinglePrecisionCholesky() = default;

void SinglePrecisionCholesky::precondition(KSP ksp, double tolerance) {
    TARV_PETSC(KSPSetOperators(ksp, a_, a_));
    TARV_PETSC(KSPSetType(ksp, KSPCG));
    TARV_PETSC(KSPSetTolerances(ksp, tolerance, 1e-300, PETSC_DEFAULT, 200));
    TARV_PETSC(KSPSetNormType(ksp, KSP_NORM_UNPRECONDITIONED));
    PC pc;
    TARV_PETSC(KSPGetPC(ksp, &pc));
    TARV_PETSC(PCSetType(pc, PCSHELL));
    TARV_PETSC(PCShellSetContext(pc, this));
    TARV_PETSC(PCShellSetApply(pc, applyShell));
    TARV_PETSC(PCShellSetName(pc, "single-precision multifrontal Cholesky (MUMPS)"));
}

bool factorisationChosenByOption() {
    PetscBool set = PETSC_FALSE;
    TARV_PETSC(PetscOptionsHasName(nullptr, nullptr, "-pc_factor_mat_solver_type", &set));
    return set;
}

void SinglePrecisionCholesky::solve(KSP ksp, Vec b, Vec x) {
    if (KSPSolve(ksp, b, x) != 0) throw std::runtime_error("the refined factorisation solve failed");
    KSPConvergedReason reason;
    TARV_PETSC(KSPGetConvergedReason(ksp, &reason));
    PetscReal norm = 0;
    TARV_PETSC(VecNorm(x, NORM_INFINITY, &norm));
    if (reason < 0 || !std::isfinite(norm))
        throw std::runtime_error(
            "the refined factorisation solve did not converge: the model is probably not restrained enough");
}

PetscErrorCode SinglePrecisionCholesky::apply(Vec in, Vec out) {
    Mumps& m = *mumps_;
    PetscErrorCode code = VecScatterBegin(m.toFirst, in, m.gathered, INSERT_VALUES, SCATTER_FORWARD);
    if (!code) code = VecScatterEnd(m.toFirst, in, m.gathered, INSERT_VALUES, SCATTER_FORWARD);
    if (code) return code;
    PetscScalar* values = nullptr;
    if ((code = VecGetArray(m.gathered, &values))) return code;
    // The right-hand side goes to single precision scaled to its largest entry, so that neither
    // a tiny residual nor a huge load leaves single precision's range.
    double largest = 0;
    for (std::size_t i = 0; i < m.rhs.size(); ++i) largest = std::max(largest, std::abs(values[i]));
    const double toSingle = largest > 0 ? 1 / largest : 1;
    for (std::size_t i = 0; i < m.rhs.size(); ++i) m.rhs[i] = static_cast<float>(toSingle * values[i]);
    m.id.rhs = m.rhs.data();
    m.id.nrhs = 1;
    m.id.lrhs = m.id.n;
    m.run(3);
    const double back = m.scale / toSingle;
    for (std::size_t i = 0; i < m.rhs.size(); ++i) values[i] = back * m.rhs[i];
    if ((code = VecRestoreArray(m.gathered, &values))) return code;
    if (m.infog(1) < 0) return PETSC_ERR_LIB;
    code = VecScatterBegin(m.toFirst, m.gathered, out, INSERT_VALUES, SCATTER_REVERSE);
    return code ? code : VecScatterEnd(m.toFirst, m.gathered, out, INSERT_VALUES, SCATTER_REVERSE);
}

}  // namespace tarvsolv
