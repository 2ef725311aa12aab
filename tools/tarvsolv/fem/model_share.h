#pragma once
// How the processes of a run split a model's results and the work that makes them: each process
// takes the elements it assembles (fem/node_pieces.h, elementPieces) and the nodes it owns (its
// range of the solver's node numbers), so that the results it hands on, the stresses and the error
// estimate it evaluates and the VTK piece it writes are one compact piece of the part. A mesh that
// was never split into as many pieces (one process, a partition that failed) is split into equal
// ranges of the file's nodes and of the elements instead. This is the one rule for the split.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <cstddef>
#include <span>
#include <vector>

#include "fem/fe_mesh.h"

namespace tarvsolv {

// The part of a model one process hands on when every process hands its own.
struct ModelShare {
    std::vector<int> nodes;               // the mesh file's numbers (0-based) of the share's nodes, ascending
    std::vector<int> elements;            // the share's elements (0-based), ascending
    int nodeCount = 0, elementCount = 0;  // the whole model's
};

// The process (0 to processes - 1) whose share holds each element, and each node by its number in
// the mesh file.
std::vector<int> elementOwners(const FeMesh& mesh, int processes);
std::vector<int> nodeOwners(const FeMesh& mesh, int processes);

// This process's share of `mesh` among the processes of `comm`.
ModelShare modelShare(const FeMesh& mesh, MPI_Comm comm);

// `width` values per node of the whole mesh in the mesh's node order: those of the share's nodes, in
// the file's node order.
std::vector<double> shareOfNodes(const FeMesh& mesh, std::span<const double> values, int width,
                                 const ModelShare& share);
// One value per element of the whole mesh: those of the share's elements (empty stays empty).
std::vector<double> shareOfElements(std::span<const double> values, const ModelShare& share);

// The elements split among the processes of `comm` for work whose values per element every process
// or the first then needs whole: each process evaluates its own elements, writes their values in
// its slots of a whole-model array (the processes' elements one process after the other), and the
// array is exchanged and put in element order.
class ElementSplit {
  public:
    ElementSplit(const FeMesh& mesh, MPI_Comm comm);

    // This process's elements, ascending, and the slot of the first of them.
    const std::vector<int>& elements() const { return elements_; }
    std::size_t firstSlot() const { return starts_[static_cast<std::size_t>(rank_)]; }
    bool single() const { return starts_.size() <= 2; }

    // `values`: `width` per element of the whole model, this process's in its slots. Answers with
    // every element's values in element order on every process. Collective.
    void shareAmongAll(double* values, int width) const;
    // `mine`: `width` per element of this process's elements, in their order. Answers the whole
    // model's values in element order on the first process, nothing elsewhere. Collective.
    std::vector<double> gatheredOnFirst(std::span<const double> mine, int width) const;

  private:
    // Every process's count and first slot in values of `width` per element; throws on every
    // process alike when they are more than MPI's int counts reach.
    void countsOf(int width, std::vector<int>& counts, std::vector<int>& starts) const;
    // Puts `width` values per slot into element order, in place.
    void toElementOrder(double* values, std::size_t width) const;

    MPI_Comm comm_;
    int rank_ = 0;
    std::vector<int> elements_;
    std::vector<std::size_t> starts_;  // each process's first slot, then the element count
    std::vector<int> elementOfSlot_;   // empty when the slots are in element order already
};

}  // namespace tarvsolv
