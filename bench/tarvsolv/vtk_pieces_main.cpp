// The result file and the VTK files of one static step on several processes, written the two ways:
// the first process from the whole step it gathered, or each process its own share. A synthetic step on
// the mesh given (displacements, corner stresses, the error estimate, each process's share the
// nodes it owns and the elements it assembles) goes to the VTK sink, and the first process's
// seconds from the first step handed on to the files written are printed, with the peak resident
// memory and the CPU seconds of the writing of each process.
//
// usage: mpiexec -n N tarvsolv-vtkpieces MESH.meb FOLDER whole|shared
#include <petscsys.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>

#include "fem/model_share.h"
#include "fem/node_pieces.h"
#include "io/result_file_sink.h"
#include "vtk_results.h"

using namespace tarvsolv;

namespace {

// The step of `share` (the whole model when none), its values synthetic.
StepResult shareOf(const FeMesh& file, const std::shared_ptr<const ModelShare>& share) {
    std::vector<int> nodes(static_cast<std::size_t>(file.nodeCount())),
        elements(static_cast<std::size_t>(file.elementCount()));
    std::iota(nodes.begin(), nodes.end(), 0);
    std::iota(elements.begin(), elements.end(), 0);
    StepResult step;
    step.share = share;
    std::vector<double> u, errors;
    for (const int n : share ? share->nodes : nodes) {
        for (int c = 0; c < 3; ++c) u.push_back(1e-3 * std::sin(0.001 * n + c));
        errors.push_back(1 + std::cos(0.002 * n));
    }
    step.add(NodeQuantity::Displacement, std::move(u));
    step.add(NodeQuantity::ErrorEstimate, std::move(errors));
    for (const int e : share ? share->elements : elements) {
        for (int c = 0; c < 4; ++c) {
            step.corners.nodes.push_back(file.elementNodes(e)[c] + 1);
            results::CornerStress s{};
            for (int k = 0; k < 6; ++k) s[k] = 100 * std::sin(0.01 * e + c + k);
            step.corners.stresses.push_back(s);
        }
        step.elementErrors.push_back(1.0 + 1e-6 * e);
    }
    return step;
}

// The process's CPU seconds so far, user and system: unlike the wall time, what other jobs on the
// machine take does not count.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + 1e-6 * t.tv_usec; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return std::fprintf(stderr, "usage: tarvsolv-vtkpieces MESH.meb FOLDER whole|shared\n"), 2;
    PetscInitialize(&argc, &argv, nullptr, nullptr);
    int rank = 0, processes = 1;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    MPI_Comm_size(PETSC_COMM_WORLD, &processes);
    const bool whole = std::strcmp(argv[3], "whole") == 0;
    {
        Job job;
        job.kind = SolveKind::Static;
        job.resultPath = std::string(argv[2]) + "/job.out";
        job.mesh = readMeshFile(argv[1]);
        numberByPieces(job.mesh, PETSC_COMM_WORLD);
        const FeMesh file = inFileOrder(job.mesh);
        RunLog log("", true, rank == 0);  // the console: a stale file it cannot remove
        VtkResultSink vtk(job, file, log);
        ResultPreamble preamble;
        preamble.text = "MESHFILE\n" + std::string(argv[1]) + "\n";
        ResultFileSink results(job.resultPath, preamble);
        MPI_Barrier(PETSC_COMM_WORLD);
        const double start = MPI_Wtime(), startCpu = cpuSeconds();
        if (!whole || rank == 0) {
            const StepResult step = shareOf(
                file,
                whole ? nullptr : std::make_shared<const ModelShare>(modelShare(job.mesh, PETSC_COMM_WORLD)));
            results.step(step);
            vtk.step(step);
        }
        results.write();
        const double resultSeconds = MPI_Wtime() - start;
        const std::size_t written = vtk.write().size();
        const double seconds = MPI_Wtime() - start, cpu = cpuSeconds() - startCpu;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        long peak = usage.ru_maxrss, peaks[64] = {};
        double cpus[64] = {};
        MPI_Gather(&peak, 1, MPI_LONG, peaks, 1, MPI_LONG, 0, PETSC_COMM_WORLD);
        MPI_Gather(&cpu, 1, MPI_DOUBLE, cpus, 1, MPI_DOUBLE, 0, PETSC_COMM_WORLD);
        if (rank == 0) {
            std::printf(
                "%s: %d nodes, %d elements, %zu files, first process %.3f s (result file %.3f s), peak MB",
                argv[3], file.nodeCount(), file.elementCount(), written, seconds, resultSeconds);
            for (int p = 0; p < processes && p < 64; ++p) std::printf(" %.0f", peaks[p] / 1024.0);
            std::printf(", CPU s");
            for (int p = 0; p < processes && p < 64; ++p) std::printf(" %.3f", cpus[p]);
            std::printf("\n");
        }
    }
    PetscFinalize();
    return 0;
}
