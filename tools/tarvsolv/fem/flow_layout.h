#pragma once
// The unknowns of an incompressible flow on quadratic tetrahedra (Taylor-Hood P2/P1): three
// velocity components at every node, one pressure at every corner node. Each process owns the
// unknowns of the node range DofLayout gives it, its velocities first (x, y, z per node) and then
// the pressures of its corner nodes, so that its rows form one contiguous range and the velocity
// and pressure rows are the two index sets of a field split. Held unknowns (walls, inlets, the
// pressure level) keep their values here; the flow's equations replace their rows by u - g.
// A flow that carries heat has a temperature at every node too, after the node's velocities
// (x, y, z, T per node), so that the velocities and temperatures form one contiguous range of
// blocks of four and the pressures still follow them.
#include <vector>

#include "base/petsc_handles.h"
#include "fem/dof_layout.h"
#include "fem/matrix_pattern.h"

namespace tarvsolv {

using IsHandle = PetscHandle<IS, ISDestroy>;

class FlowLayout {
  public:
    FlowLayout(const FeMesh& mesh, MPI_Comm comm, bool withTemperature = false);
    FlowLayout(const FlowLayout&) = delete;
    FlowLayout& operator=(const FlowLayout&) = delete;

    int unknownCount() const { return unknownCount_; }
    int velocityDof(int node, int component) const { return velocity_[node] + component; }
    bool hasTemperature() const { return withTemperature_; }
    // -1 without temperatures.
    int temperatureDof(int node) const { return withTemperature_ ? velocity_[node] + 3 : -1; }
    // -1 for a mid-side node.
    int pressureDof(int node) const { return pressure_[node]; }
    bool isCorner(int node) const { return pressure_[node] >= 0; }
    int cornerCount() const { return cornerCount_; }
    // The element's unknowns in element order: 30 velocities (x, y, z per node), then the 4
    // corner pressures, then (with temperatures) the 10 temperatures.
    void elementDofs(const FeMesh& mesh, int e, std::vector<PetscInt>& dofs) const;

    const DofLayout& nodes() const { return nodes_; }
    bool ownsNode(int n) const { return nodes_.ownsNode(n); }
    bool assemblesElement(const FeMesh& mesh, int e) const { return nodes_.assemblesElement(mesh, e); }
    bool onFirstProcess() const { return nodes_.onFirstProcess(); }
    MPI_Comm comm() const { return nodes_.comm(); }

    // Holds unknown `dof` at `value`; false when it was already held at another value (the first
    // value stays). setHeldValue changes a held value (an inlet that follows time).
    bool hold(int dof, double value);
    void setHeldValue(int dof, double value) { values_[dof] = value; }
    bool isHeld(int dof) const { return held_[dof] != 0; }
    double heldValue(int dof) const { return values_[dof]; }
    std::size_t heldCount() const;

    VecHandle createVector() const;
    // The system matrix (AIJ), preallocated for every coupling of the elements.
    MatHandle createMatrix() const;
    // A matrix on the pressure unknowns alone (rows and columns numbered as in pressureSet()).
    MatHandle createPressureMatrix() const;
    // This process's velocity (with temperatures: velocity and temperature) and pressure rows,
    // for the field split.
    IsHandle velocitySet() const;
    IsHandle pressureSet() const;
    // Position of a corner node's pressure among all pressures (the pressure matrix's numbering).
    int pressureIndex(int node) const { return pressureIndex_[node]; }

  private:
    DofLayout nodes_;
    MatrixPattern pattern_;  // node couplings of the owned nodes
    std::vector<int> velocity_, pressure_, pressureIndex_;
    bool withTemperature_ = false;
    int nodeStride_ = 3;  // unknowns per node before the pressures: 3 velocities (and T)
    int unknownCount_ = 0, cornerCount_ = 0;
    int firstUnknown_ = 0, ownedUnknowns_ = 0, firstPressure_ = 0, ownedPressures_ = 0;
    std::vector<char> held_;
    std::vector<double> values_;
};

}  // namespace tarvsolv
