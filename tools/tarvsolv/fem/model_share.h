#pragma once
// The part of a model's results one process hands on when every process hands its own: a contiguous
// range of the mesh file's nodes and one of the elements, equal ranges in process order (the
// elements as the stresses and the error estimate split their work, so that each process hands on
// what it evaluated).
#include <petscsys.h>  // MPI, without its C++ bindings

#include <span>
#include <vector>

#include "fem/fe_mesh.h"

namespace tarvsolv {

struct ModelShare {
    int firstNode = 0, endNode = 0;        // the mesh file's nodes [firstNode, endNode), 0-based
    int firstElement = 0, endElement = 0;  // elements [firstElement, endElement)
};

// This process's share of `mesh` among the processes of `comm`.
ModelShare modelShare(const FeMesh& mesh, MPI_Comm comm);
// The first of `count` items that process `process` of `processes` takes in equal ranges.
int firstOfShare(long long count, int process, int processes);

// `width` values per node of the whole mesh in the mesh's node order: those of the share's nodes, in
// the file's node order.
std::vector<double> shareOfNodes(const FeMesh& mesh, std::span<const double> values, int width,
                                 const ModelShare& share);
// One value per element of the whole mesh: those of the share's elements (empty stays empty).
std::vector<double> shareOfElements(std::span<const double> values, const ModelShare& share);

}  // namespace tarvsolv
