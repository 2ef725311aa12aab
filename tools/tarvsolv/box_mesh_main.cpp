// tarvsolv-boxmesh: writes a structured box mesh in the mesher's binary layout, for benchmarks and
// hand runs of the solver. Usage: tarvsolv-boxmesh out.meb nx ny nz lx ly lz [linear]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "fem/box_mesh.h"

int main(int argc, char** argv) {
    if (argc < 8) {
        std::fprintf(stderr, "usage: tarvsolv-boxmesh out.meb nx ny nz lx ly lz [linear]\n");
        return 2;
    }
    tarvsolv::BoxSpec box;
    box.nx = std::atoi(argv[2]);
    box.ny = std::atoi(argv[3]);
    box.nz = std::atoi(argv[4]);
    box.size = {std::atof(argv[5]), std::atof(argv[6]), std::atof(argv[7])};
    box.quadratic = !(argc > 8 && std::strcmp(argv[8], "linear") == 0);
    if (box.nx < 1 || box.ny < 1 || box.nz < 1) {
        std::fprintf(stderr, "tarvsolv-boxmesh: cell counts must be at least 1\n");
        return 2;
    }
    try {
        const tarvsolv::FeMesh mesh = tarvsolv::makeBoxMesh(box);
        tarvsolv::writeMeshFile(mesh, argv[1]);
        std::printf("%d nodes, %d elements, %zu facets\n", mesh.nodeCount(), mesh.elementCount(),
                    mesh.facets.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvsolv-boxmesh: %s\n", e.what());
        return 1;
    }
    return 0;
}
