#pragma once
// The VTK piece one process writes when the processes share a step's results, each holding its
// share of the nodes and of the elements (fem/model_share.h): the piece is the process's elements
// with the nodes they use. Its point values must be those of the whole model, the same at a node
// every piece holds: the node values the piece's nodes take from the processes whose node share
// holds them (with compact shares, the few of the halo), and the corner means of a node used by
// several pieces are summed by the lowest of them from every piece's corners, in element order as
// the whole model sums them (so that they agree to the last bit), and handed back. Only those
// values travel; no process holds an array of the whole model's values (the owners of the nodes and
// elements are whole-model arrays of integers). Each collective call follows a meeting
// (base/agree_on_failure.h, failingTogether): inside failingTogether, a process that cannot make
// its part of the piece fails every process.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <cstddef>
#include <span>
#include <vector>

#include "fem/fe_mesh.h"
#include "fem/model_share.h"

namespace tarvsolv {

class SharedPiece {
  public:
    // `share`: this process's share of `mesh` (its node numbers those of `mesh`), the shares of the
    // processes of `comm` together the model. Collective over `comm`.
    SharedPiece(const FeMesh& mesh, const ModelShare& share, MPI_Comm comm);

    // The piece's elements (ascending) and the nodes they use (ascending).
    const std::vector<int>& elements() const { return elements_; }
    const std::vector<int>& nodes() const { return nodes_; }
    // Whether every process's `share` is the one its piece was made of. Collective.
    bool sameShares(const ModelShare& share) const;

    // `share` holds `width` values per node of this process's node share; answers `width` values
    // per node of the piece (0 where a share is short). Collective.
    std::vector<double> nodeValues(std::span<const double> share, int width) const;
    // The means per piece node of the values at the corners of this process's elements (`width`
    // per corner, `cornerNodes` their nodes, 0-based, in element order), as CornerSums averages
    // them over the whole model: the mean over the elements that name a node, a mid-side node no
    // corner names the mean of its edge's two corners. Corners at nodes outside the piece are
    // dropped. Collective.
    std::vector<double> cornerMeans(std::span<const int> cornerNodes, std::span<const double> values,
                                    int width) const;

  private:
    // The process whose share holds each of `count` items, -1 for none, from every process's
    // `mine`. Collective.
    std::vector<int> ownersOf(std::span<const int> mine, std::size_t count) const;
    void findNodeOwners(const std::vector<int>& nodeOwner);
    void findSharedNodes(const std::vector<int>& elementOwner);
    // This process's index in its node share of mesh node `n`, -1 when the share lacks it.
    int shareIndex(double n) const;

    const FeMesh& mesh_;
    MPI_Comm comm_;
    int rank_ = 0, size_ = 1;
    std::vector<int> shareNodes_;  // this process's node share
    std::vector<int> elements_, nodes_;
    std::vector<int> local_;  // per mesh node: its index in nodes_, -1 outside the piece
    // Node values: the piece's nodes (indices into nodes_) asked of each process, and this
    // process's share nodes (0-based in the share) each process asked of it, in the order asked.
    std::vector<std::vector<int>> asked_, askedOfMe_;
    // Corner means: the lowest process whose piece uses each piece node, whether another piece uses
    // it too, and the piece nodes this process sums for each other process that uses them too.
    std::vector<int> summer_;
    std::vector<bool> shared_;
    std::vector<std::vector<int>> sharers_;
};

}  // namespace tarvsolv
