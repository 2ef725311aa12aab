#pragma once
// Numbers a mesh's nodes piece by piece for the processes that share it: each process owns a
// contiguous range of node numbers, so a range that is a compact piece of the part keeps most
// elements inside one range, and with them the assembly, the halo each matrix product exchanges and
// the preconditioner's coupling across processes small. The mesh remembers the file's number of
// every node, so that results and messages can speak of the mesh's own numbers.
#include <span>
#include <vector>

#include "base/petsc_handles.h"
#include "fem/fe_mesh.h"

namespace tarvsolv {

// The piece (0 to pieces - 1) of every node: METIS's partition of the graph of the corner nodes
// that share an element, each corner weighed by the matrix entries of its rows and of those of the
// nodes that go with it (the mid-side nodes of the edges it leads), so that the pieces hold about
// as many matrix entries each. `held`, empty or one count per node, gives the node's unknowns that
// will be prescribed (of `unknownsPerNode`): they hold only their diagonal. Empty when METIS fails.
std::vector<int> nodePieces(const FeMesh& mesh, int pieces, std::span<const int> held = {},
                            int unknownsPerNode = 3);

// Renumbers `mesh` so that the nodes of piece 0 come first, then those of piece 1, ..., each piece's
// nodes in their present order; sets the mesh's piece starts and file numbers. `piece` holds one
// entry per node, each from 0 to pieces - 1.
void numberByPieces(FeMesh& mesh, std::span<const int> piece, int pieces);

// Splits the mesh into as many pieces as `comm` has processes (nodePieces) and numbers it by them,
// the same on every process (the first partitions, the others take its pieces). False, with the
// mesh as it was, on one process or when the partition fails.
bool numberByPieces(FeMesh& mesh, MPI_Comm comm, std::span<const int> held = {}, int unknownsPerNode = 3);

// The piece of every element in a mesh numbered by pieces: the piece that holds the most of its
// nodes, the lowest of those that hold as many, which is the process that assembles it. Empty when
// the mesh was never split.
std::vector<int> elementPieces(const FeMesh& mesh);

// Puts the elements of piece 0 (elementPieces) first, then those of piece 1, ..., each piece's in
// their present order, so that each piece is a contiguous range of elements; the facets go (they
// name elements by number). Nothing changes in a mesh that was never split.
void putElementsInPieceOrder(FeMesh& mesh);

// The mesh in the file's node order (itself when it was never renumbered).
FeMesh inFileOrder(const FeMesh& mesh);

// `width` values per node in the mesh's order, put in the file's node order, and back (values
// beyond the mesh's nodes stay where they are).
std::vector<double> inFileOrder(const FeMesh& mesh, std::span<const double> values, int width);
std::vector<double> inMeshOrder(const FeMesh& mesh, std::span<const double> values, int width);

}  // namespace tarvsolv
