// The VTK files of one static step on several processes, written the two ways: the first process
// from the whole step it gathered, or each process the piece of its own share. A synthetic step on
// the mesh given (displacements, corner stresses, the error estimate, each in an even share of the
// file's nodes and of the elements per process) goes to the VTK sink, and the first process's
// seconds from the first step handed on to the files written are printed, with the peak resident
// memory of each process. With "compact" the elements are first put in the order of the pieces
// the processes assemble, so that each element share is one compact piece of the part.
//
// usage: mpiexec -n N tarvsolv-vtkpieces MESH.meb FOLDER whole|shared [compact]
#include <petscsys.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "fem/node_pieces.h"
#include "vtk_results.h"

using namespace tarvsolv;

namespace {

// Process `rank`'s even share of `count` items out of `processes`.
std::size_t startOf(std::size_t count, int rank, int processes) {
    return count * rank / processes;
}

StepResult shareOf(const FeMesh& file, int rank, int processes, bool whole) {
    const auto nodes = static_cast<std::size_t>(file.nodeCount()),
               elements = static_cast<std::size_t>(file.elementCount());
    const std::size_t n0 = whole ? 0 : startOf(nodes, rank, processes),
                      n1 = whole ? nodes : startOf(nodes, rank + 1, processes);
    const std::size_t e0 = whole ? 0 : startOf(elements, rank, processes),
                      e1 = whole ? elements : startOf(elements, rank + 1, processes);
    StepResult step;
    step.firstNode = n0, step.firstElement = e0;
    std::vector<double> u, errors;
    for (std::size_t n = n0; n < n1; ++n) {
        for (int c = 0; c < 3; ++c) u.push_back(1e-3 * std::sin(0.001 * n + c));
        errors.push_back(1 + std::cos(0.002 * n));
    }
    step.add(NodeQuantity::Displacement, std::move(u));
    step.add(NodeQuantity::ErrorEstimate, std::move(errors));
    for (std::size_t e = e0; e < e1; ++e) {
        for (int c = 0; c < 4; ++c) {
            step.corners.nodes.push_back(file.elementNodes(static_cast<int>(e))[c] + 1);
            results::CornerStress s{};
            for (int k = 0; k < 6; ++k) s[k] = 100 * std::sin(0.01 * e + c + k);
            step.corners.stresses.push_back(s);
        }
        step.elementErrors.push_back(1.0 + 1e-6 * e);
    }
    return step;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5)
        return std::fprintf(stderr, "usage: tarvsolv-vtkpieces MESH.meb FOLDER whole|shared\n"), 2;
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
        if (argc == 5) putElementsInPieceOrder(job.mesh);
        const FeMesh file = inFileOrder(job.mesh);
        VtkResultSink vtk(job, file);
        MPI_Barrier(PETSC_COMM_WORLD);
        const double start = MPI_Wtime();
        if (!whole || rank == 0) vtk.step(shareOf(file, rank, processes, whole));
        const std::size_t written = vtk.write().size();
        const double seconds = MPI_Wtime() - start;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        long peak = usage.ru_maxrss, peaks[64] = {};
        MPI_Gather(&peak, 1, MPI_LONG, peaks, 1, MPI_LONG, 0, PETSC_COMM_WORLD);
        if (rank == 0) {
            std::printf("%s: %d nodes, %d elements, %zu files, first process %.3f s, peak MB", argv[3],
                        file.nodeCount(), file.elementCount(), written, seconds);
            for (int p = 0; p < processes && p < 64; ++p) std::printf(" %.0f", peaks[p] / 1024.0);
            std::printf("\n");
        }
    }
    PetscFinalize();
    return 0;
}
