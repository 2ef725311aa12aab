#include "physics/job.h"

#include "fem/node_pieces.h"
#include "formats/result_head_path.h"
#include "physics/flow_heat_input.h"
#include "physics/gas_input.h"
#include "physics/mesher_companion.h"
#include "physics/thermal_stress_input.h"
#include "physics/time_stepping.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>

namespace tarvsolv {

std::string pathStem(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
    return path.substr(0, dot);
}

double iterativeTolerance(double given, RunLog& log) {
    if (given == 0) return kIterativeTolerance;
    if (!(given > 0 && given < 1))
        throw std::runtime_error("the tolerance must lie above 0 and below 1 (found " + number(given) + ")");
    if (given < kToleranceFloor) {
        log.warning("the tolerance " + number(given) +
                    " is below the smallest the iterative solver can reach; " + number(kToleranceFloor) +
                    " is taken");
        return kToleranceFloor;
    }
    return given;
}

std::string preamblePathFor(const std::string& resultPath) {
    const std::string head = formats::resultHeadPathFor(resultPath);
    std::error_code error;
    return std::filesystem::exists(head, error) ? head : resultPath;
}

namespace {

// The entries of the job's input as its physics reads them.
void readEntries(Job& job, RunLog& log) {
    job.entries = readModelEntries(job.input, job.physics());
    for (const auto& w : job.entries.warnings) log.warning(w);
}

// The mesher's companion and the geometry on the job's mesh and preamble.
void findGeometry(Job& job, RunLog& log) {
    const std::string companionPath = companionPathFor(job.input.meshPath);
    std::optional<MesherCompanion> companion = readMesherCompanion(companionPath, job.mesh);
    if (!companion)
        log.warning("no companion file " + companionPath +
                    ": edges and vertices can only be found through their faces");
    job.geometry = std::make_unique<ModelGeometry>(job.mesh, job.preamble,
                                                   companion ? std::move(*companion) : MesherCompanion{});
}

// Per node, about how many of its unknowns the restraints, imposed displacements or held
// temperatures on faces will prescribe, read from the mesh's tagged facets before any geometry is
// built: the partition weighs the matrix rows by it. Edges, vertices and points hold too few nodes
// to unbalance the pieces and are left out.
std::vector<int> heldOnFaces(const Job& job, int unknownsPerNode) {
    std::map<int, int> byFace;  // face tag -> unknowns held at each of its nodes
    const auto add = [&](int face, int count) {
        byFace[face] = std::min(unknownsPerNode, byFace[face] + count);
    };
    for (const Restraint& r : job.entries.restraints)
        if (r.where.kind == EntityRef::Kind::Face)
            add(r.where.first, static_cast<int>(std::count(r.fixed.begin(), r.fixed.end(), true)));
    for (const Constraint& c : job.entries.constraints) add(c.face, 1);
    for (const HeldTemperature& h : job.entries.heldTemperatures)
        if (h.where.kind == EntityRef::Kind::Face) add(h.where.first, 1);
    std::vector<int> held;
    if (byFace.empty()) return held;
    held.assign(static_cast<std::size_t>(job.mesh.nodeCount()), 0);
    for (const Facet& f : job.mesh.facets)
        if (const auto it = byFace.find(f.tag); it != byFace.end())
            for (const int n : job.mesh.faceNodes(f.element, f.face)) held[n] = std::max(held[n], it->second);
    return held;
}

// On several processes, the nodes numbered so that each process's range is a compact piece of the
// part (fem/node_pieces.h).
void numberForProcesses(Job& job, RunLog& log) {
    int processes = 1;
    MPI_Comm_size(PETSC_COMM_WORLD, &processes);
    if (processes <= 1) return;
    const int unknownsPerNode = job.physics() == Physics::Thermal ? 1 : 3;
    if (!numberByPieces(job.mesh, PETSC_COMM_WORLD, heldOnFaces(job, unknownsPerNode), unknownsPerNode)) {
        log.warning(
            "the mesh could not be split into pieces (METIS): the processes take ranges of its "
            "own node numbers");
        return;
    }
    log.line("nodes numbered in " + std::to_string(processes) +
             " pieces of the part, one a process (METIS); results keep the mesh's numbers");
}

// The materials of every body, and every reference found on the mesh before any assembly starts.
void checkModel(Job& job) {
    if (job.entries.materials.empty())
        throw std::runtime_error("no material is assigned; assign a material first");
    // The add-on lists the bodies of a part in the result file; an assembly has no such list and
    // keeps one material, written for body 1, that holds for all of its bodies.
    job.materials = std::make_unique<MaterialSet>(job.entries, job.physics(), job.preamble.bodies.empty());
    const auto& bodies = job.geometry->elementBodies();
    for (int body : std::set<int>(bodies.begin(), bodies.end())) job.materials->forBody(body);
    for (const Restraint& r : job.entries.restraints) job.geometry->nodesOf(r.where);
    for (const HeldTemperature& h : job.entries.heldTemperatures) job.geometry->nodesOf(h.where);
    for (const Load& load : job.entries.loads)
        if (load.where.kind != EntityRef::Kind::Model) job.geometry->nodesOf(load.where);
    for (const Constraint& c : job.entries.constraints) job.geometry->facetsOfFace(c.face);
    for (const ContactEntry& c : job.entries.contacts) job.geometry->facetsOfFace(c.face);
}

// The thermal part of a thermal stress: its T sections read as a thermal loadcase's, on a copy of
// the mechanical part's mesh (the heat analyses keep their own job).
std::unique_ptr<Job> thermalPart(const Job& job, RunLog& log) {
    auto heat = std::make_unique<Job>();
    heat->inputPath = job.inputPath;
    heat->resultPath = job.resultPath;
    heat->solver = job.solver;
    heat->tolerance = job.tolerance;
    heat->units = job.units;
    heat->input = thermalPartInput(job.input);
    heat->kind =
        job.kind == SolveKind::TransientThermalStress ? SolveKind::TransientHeat : SolveKind::SteadyHeat;
    readEntries(*heat, log);
    heat->mesh = job.mesh;
    heat->preamble = job.preamble;
    RunLog quiet("", false, false);  // the mechanical part has said what the companion lacks
    findGeometry(*heat, quiet);
    checkModel(*heat);
    return heat;
}

}  // namespace

Job loadJob(const std::string& inputPath, SolverChoice solver, RunLog& log) {
    Job job;
    job.inputPath = inputPath;
    job.resultPath = pathStem(inputPath) + ".out";
    job.solver = solver;
    job.input = readSolverInput(inputPath);
    job.kind = solveKind(job.input);
    log.line(std::string("analysis: ") + solveKindName(job.kind));
    switch (job.kind) {
        case SolveKind::Static:
        case SolveKind::LargeDisplacement:
        case SolveKind::Modes:
        case SolveKind::Buckling:
        case SolveKind::SteadyHeat:
        case SolveKind::TransientHeat:
        case SolveKind::ForcedVibration:
        case SolveKind::Plastic:
        case SolveKind::IncompressibleFlow:
        case SolveKind::Multiphysics:
        case SolveKind::CompressibleFlow:
        case SolveKind::ThermalStress:
        case SolveKind::TransientThermalStress:
        case SolveKind::HeatedBuckling:
        case SolveKind::HeatedModes:
            break;
        default:
            throw std::runtime_error(std::string(solveKindName(job.kind)) +
                                     " is not solved by this version of the solver");
    }
    if (!job.input.hasSolve)
        throw std::runtime_error(
            "the solver input has no SOLVE section; start the solve from the Solve command");
    job.tolerance = iterativeTolerance(job.input.tolerance, log);
    job.units = unitSystemFor(job.input.unitText);
    if (isThermalStress(job.kind)) checkThermalStressSections(job.input);
    if (job.kind == SolveKind::Multiphysics) checkFlowHeatSections(job.input);
    if (job.kind == SolveKind::CompressibleFlow) checkGasSections(job.input);
    readEntries(job, log);
    if (job.kind == SolveKind::Multiphysics) addFlowHeatEntries(job.input, job.entries);
    if (job.kind == SolveKind::CompressibleFlow) addGasEntries(job.input, job.entries);
    if (job.input.meshPath.empty())
        throw std::runtime_error("the solver input names no mesh file (MFILE); create a mesh first");
    log.line("reading mesh " + job.input.meshPath);
    job.mesh = readMeshFile(job.input.meshPath);
    log.line("mesh: " + std::to_string(job.mesh.nodeCount()) + " nodes, " +
             std::to_string(job.mesh.elementCount()) + " elements of " +
             std::to_string(job.mesh.nodesPerElement) + " nodes, " + std::to_string(job.mesh.facets.size()) +
             " boundary facets");
    numberForProcesses(job, log);
    job.preamble = readResultPreamble(preamblePathFor(job.resultPath), job.input.meshPath);
    findGeometry(job, log);
    checkModel(job);
    if (isThermalStress(job.kind)) job.heat = thermalPart(job, log);
    return job;
}

}  // namespace tarvsolv
