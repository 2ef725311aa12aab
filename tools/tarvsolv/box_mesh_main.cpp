// tarvsolv-boxmesh: writes a structured box mesh in the mesher's binary layout, for benchmarks and
// hand runs of the solver. Usage:
//   tarvsolv-boxmesh out.meb nx ny nz lx ly lz [linear] [split x|y|z N] [scramble SEED]
// "split" makes the cells below N along the axis body 1 and the rest body 2, meshed together, and
// writes the companion file with the two bodies' element ranges beside the mesh. "scramble" numbers
// the nodes in a pseudo-random order, one that does not follow the geometry.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

#include "fem/box_mesh.h"

namespace {

int usage() {
    std::fprintf(
        stderr,
        "usage: tarvsolv-boxmesh out.meb nx ny nz lx ly lz [linear] [split x|y|z N] [scramble SEED]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 8) return usage();
    tarvsolv::BoxSpec box;
    box.nx = std::atoi(argv[2]);
    box.ny = std::atoi(argv[3]);
    box.nz = std::atoi(argv[4]);
    box.size = {std::atof(argv[5]), std::atof(argv[6]), std::atof(argv[7])};
    long scramble = -1;
    for (int k = 8; k < argc; ++k) {
        if (std::strcmp(argv[k], "linear") == 0) {
            box.quadratic = false;
        } else if (std::strcmp(argv[k], "split") == 0 && k + 2 < argc && std::strlen(argv[k + 1]) == 1 &&
                   std::strchr("xyz", argv[k + 1][0])) {
            box.splitAxis = argv[k + 1][0] - 'x';
            box.splitCells = std::atoi(argv[k + 2]);
            k += 2;
        } else if (std::strcmp(argv[k], "scramble") == 0 && k + 1 < argc) {
            char* end = nullptr;
            scramble = std::strtol(argv[++k], &end, 10);
            if (*end != '\0' || scramble < 0) return usage();
        } else {
            return usage();
        }
    }
    if (box.nx < 1 || box.ny < 1 || box.nz < 1) {
        std::fprintf(stderr, "tarvsolv-boxmesh: cell counts must be at least 1\n");
        return 2;
    }
    const int cells[3] = {box.nx, box.ny, box.nz};
    if (box.splitCells != 0 && (box.splitCells < 1 || box.splitCells >= cells[box.splitAxis])) {
        std::fprintf(stderr, "tarvsolv-boxmesh: the split must leave cells on both sides of it\n");
        return 2;
    }
    try {
        tarvsolv::FeMesh mesh = tarvsolv::makeBoxMesh(box);
        if (scramble >= 0) tarvsolv::scrambleNodes(mesh, static_cast<unsigned>(scramble));
        tarvsolv::writeMeshFile(mesh, argv[1]);
        if (box.splitCells > 0) {
            const std::string path = formats::companionPathFor(argv[1]);
            std::FILE* file = std::fopen(path.c_str(), "w");
            const bool written = file && formats::writeCompanionFile(file, tarvsolv::boxCompanion(box, mesh));
            const bool closed = file && std::fclose(file) == 0;
            if (!written || !closed) throw std::runtime_error("cannot write " + path);
        }
        std::printf("%d nodes, %d elements, %zu facets\n", mesh.nodeCount(), mesh.elementCount(),
                    mesh.facets.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvsolv-boxmesh: %s\n", e.what());
        return 1;
    }
    return 0;
}
