#pragma once
// The vertex-centred finite-volume scheme of an ideal gas on the median dual: HLLC fluxes across
// every dual face between the MUSCL states at the edge midpoint, the boundary pieces by their host
// face's kind (walls by their pressure alone, everything else by the HLLC flux against a ghost
// state), the viscous stresses and conduction of a viscous gas on the dual faces, and the body
// force of the accelerations.
#include "physics/gas_input.h"
#include "physics/gas_problem.h"
#include "physics/gas_reconstruction.h"

namespace tarvsolv {

class GasDiscretisation : public GasProblem {
  public:
    // `dual` and `setup` must outlive it. `firstOrderOnly`: the residual never reconstructs.
    GasDiscretisation(const DualMesh& dual, const GasSetup& setup, bool firstOrderOnly = false);

    const DualMesh& dual() const override { return dual_; }
    const IdealGas& gas() const override { return setup_.gas; }
    void residual(const std::vector<double>& U, double t, std::vector<double>& R,
                  bool firstOrder) const override;
    const std::vector<GasBoundaryKind>& boundaryKinds() const override { return kinds_; }
    GasPrimitive ghostState(std::size_t piece, const GasPrimitive& inside, double t) const override;
    const std::vector<char>& heldVelocity() const override { return held_; }
    std::pair<int, int> ownedVertices() const override { return owned_; }
    void ownResidual(const std::vector<double>& U, double t, std::vector<double>& R,
                     bool firstOrder) const override;

    // Keeps the limiter at its last values (a steady run that has converged far enough).
    void freezeLimiter(bool frozen) { reconstruction_.freezeLimiter(frozen); }
    // Steady flow: the limiter acts only near shocks (GasReconstruction::limitNearShocksOnly).
    void limitNearShocksOnly() { reconstruction_.limitNearShocksOnly(setup_.gas.gamma); }
    // Steady flow: on the dual faces between two vertices of one curved slip wall the
    // reconstructed states lose their velocity across the wall (findWallEdges says why).
    void alignWallStates() { alignWallStates_ = true; }

    // Several processes, each calling this with its own range (the ranges one after the other,
    // in the order of the processes): the residual computes only the rows of the vertices [first, last), from
    // the fluxes of the dual faces and boundary pieces they touch and the gradients and limiter values at
    // them and their neighbours, and takes the other rows from the other processes. Each row is summed in the
    // same order as by one process. All the vertices lift it; collective.
    void computeRowsOf(int first, int last);

    // The inviscid flux out through boundary piece `piece` at the vertex's state `inside`.
    GasConserved boundaryFlux(std::size_t piece, const GasPrimitive& inside, double t) const;
    // The velocity gradients (3 per vertex: of u, v, w) of the state `U`, for the viscous forces.
    std::vector<Vec3> velocityGradients(const std::vector<GasPrimitive>& w) const;
    // The primitive state of every vertex.
    std::vector<GasPrimitive> primitives(const std::vector<double>& U) const;
    const GasSetup& setup() const { return setup_; }

  private:
    void findWallEdges();
    void addViscousTerms(const std::vector<GasPrimitive>& w, std::vector<double>& R) const;
    // The residual of the rows this process computes (every row on one process).
    void ownRows(const std::vector<double>& U, double t, std::vector<double>& R, bool firstOrder) const;

    const DualMesh& dual_;
    const GasSetup& setup_;
    bool firstOrderOnly_;
    std::vector<GasBoundaryKind> kinds_;
    std::vector<const GasFaceCondition*> conditions_;  // per boundary piece
    std::vector<char> held_;
    GasReconstruction reconstruction_;
    bool alignWallStates_ = false;
    std::pair<int, int> owned_{0, dual_.vertexCount()};
    std::vector<char> rows_;  // per vertex, 1 if the residual computes its row (empty: every row)
    std::vector<int> rowStart_, rowCount_;  // per process, its rows' first value and count
    bool computes(int vertex) const { return rows_.empty() || rows_[static_cast<std::size_t>(vertex)]; }
    bool computes(const DualEdge& e) const { return computes(e.a) || computes(e.b); }
    // The dual faces between two vertices of one slip wall (by edge index, ascending) and the wall's
    // unit normal between them: the mean of the two vertices' normals.
    struct WallEdge {
        std::size_t edge = 0;
        Vec3 normal;
    };
    std::vector<WallEdge> wallEdges_;
};

}  // namespace tarvsolv
