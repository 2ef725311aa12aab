#pragma once
// How the unknowns of a field (1 or 3 per node) are laid out over the processes, which of them are
// prescribed, and the nodal frames that turn some nodes' unknowns into a local basis (a prescribed
// displacement along a direction that is not a coordinate axis).
#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>
#include <vector>

#include "base/petsc_handles.h"
#include "fem/fe_mesh.h"

namespace tarvsolv {

using Frame = std::array<double, 9>;  // column-major: local axis k is (f[3k], f[3k+1], f[3k+2])

class DofLayout {
  public:
    DofLayout(const FeMesh& mesh, int dofsPerNode, MPI_Comm comm);

    int dofsPerNode() const { return dofsPerNode_; }
    int dofCount() const { return nodeCount_ * dofsPerNode_; }
    int firstNode() const { return firstNode_; }
    int endNode() const { return endNode_; }
    bool ownsNode(int n) const { return n >= firstNode_ && n < endNode_; }
    // The first node of process `p`'s range (of `p` = the process count: the node count).
    int firstNodeOf(int p) const { return starts_[p]; }
    // The process whose node range holds node `n` (ranges may be empty).
    int ownerOf(int n) const;
    // This process assembles the element when it owns the most of the element's nodes (of two
    // processes owning as many, the first): every element has one assembler and most of an
    // element's rows are its own, so that little goes to other processes. (Handing elements across
    // ranges out to even the shares instead sent so many rows to other processes that assembling
    // took several times longer.)
    bool assemblesElement(const FeMesh& mesh, int e) const;
    MPI_Comm comm() const { return comm_; }
    // The first process writes the result blocks and applies the boundary loads once.
    bool onFirstProcess() const;

    // Prescribes unknown `dof` to `value`; false when it was already prescribed to another value
    // (the first value stays).
    bool prescribe(int dof, double value);
    bool isPrescribed(int dof) const { return prescribed_[dof] != 0; }
    double prescribedValue(int dof) const {
        const auto it = nonzero_.find(dof);
        return it == nonzero_.end() ? 0.0 : it->second;
    }
    std::size_t prescribedCount() const;
    // The prescribed values of `source`, which prescribes the same unknowns, times `factor`: a
    // Newton step that moves the prescribed unknowns by a load step's increment.
    void setPrescribedValues(const DofLayout& source, double factor);
    // The same layout with the prescribed unknowns holding `values` (one per unknown; the others'
    // entries are not used): the lift of a set of prescribed values on the other unknowns.
    DofLayout withPrescribedValues(const std::vector<double>& values) const;
    // The same layout with every prescribed unknown held at 0: the layout of an increment, such as
    // a Newton correction from a state that already carries the prescribed values.
    DofLayout withoutPrescribedValues() const {
        DofLayout increments = *this;
        increments.nonzero_.clear();
        return increments;
    }

    void setFrame(int node, const Frame& frame) { frames_[node] = frame; }
    const Frame* frameOf(int node) const {
        const auto it = frames_.find(node);
        return it == frames_.end() ? nullptr : &it->second;
    }
    bool hasFrames() const { return !frames_.empty(); }
    // Rotates a solution from nodal frames back to global axes (3 unknowns per node).
    void toGlobal(std::vector<double>& u) const;

    // A vector of this layout (matrices come from MatrixPattern).
    VecHandle createVector() const;

  private:
    int nodeCount_, dofsPerNode_;
    int firstNode_ = 0, endNode_ = 0;
    int rank_ = 0, processes_ = 1;
    std::vector<int> starts_;  // the first node of every process's range, then the node count
    MPI_Comm comm_;
    std::vector<char> prescribed_;
    // The prescribed unknowns' values other than 0, by unknown: most prescribed unknowns are held
    // at 0, and a value for every unknown of the model cost each process 8 bytes an unknown.
    std::unordered_map<int, double> nonzero_;
    std::map<int, Frame> frames_;
};

}  // namespace tarvsolv
