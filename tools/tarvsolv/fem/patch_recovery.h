#pragma once
// Superconvergent patch recovery (Zienkiewicz and Zhu): a smoothed nodal field from a flux that
// the finite-element solution gives element by element and that jumps between elements. Around
// each corner node a polynomial of the elements' order is fitted by least squares to the flux at
// the sampling points of the elements that share the node (its patch); the fit's value at the node
// is the node's recovered value. A mid-side node takes the mean of the fits of its edge's two
// corners. Where a patch has too few points for the fit (corners and edges of the boundary), it
// grows by the elements around its elements' corners until the fit is determined.
#include <functional>
#include <span>
#include <utility>
#include <vector>

#include "fem/fe_mesh.h"
#include "fem/quadrature.h"

namespace tarvsolv {

// The points at which an element's flux is sampled for the fits: the centroid of a linear
// tetrahedron, the four points of the degree-2 rule of a quadratic one, where the flux of the
// element's order is most accurate.
const std::vector<QuadPoint>& samplingRule(const FeMesh& mesh);

// The flux of the elements at their sampling points, each element's taken from `sample` the first
// time a fit asks for it: a process fitting the patches of its own elements' corners holds the
// samples of those elements and of the ring around them only. `sample` writes the positions of the
// element's points (in rule order) and their `components` values each.
class SampledFlux {
  public:
    using Sampler = std::function<void(int element, Vec3* positions, double* values)>;

    SampledFlux(const FeMesh& mesh, int components, Sampler sample);

    int components() const { return components_; }
    int perElement() const { return perElement_; }
    // Room for the samples of this many elements.
    void reserve(std::size_t elements);
    // Samples the element unless it was sampled already.
    void take(int element);
    // Point `q` of a sampled element: its position, and its values.
    const Vec3& position(int element, int q) const {
        return positions_[static_cast<std::size_t>(slot_[element]) * perElement_ + q];
    }
    const double* values(int element, int q) const {
        return &values_[(static_cast<std::size_t>(slot_[element]) * perElement_ + q) * components_];
    }

  private:
    int components_, perElement_;
    Sampler sample_;
    std::vector<int> slot_;  // per element of the mesh: its slot, -1 until sampled
    std::vector<Vec3> positions_;
    std::vector<double> values_;
};

// The recovered field at some of a mesh's nodes: `components` values each.
class RecoveredField {
  public:
    RecoveredField(std::vector<int> indexOf, std::vector<double> values, int components)
        : indexOf_(std::move(indexOf)), values_(std::move(values)), components_(components) {}
    // The values at node `n`, which must be one of the field's nodes.
    const double* at(int n) const { return &values_[static_cast<std::size_t>(indexOf_[n]) * components_]; }

  private:
    std::vector<int> indexOf_;  // per mesh node: its index in values_, -1 outside the field
    std::vector<double> values_;
    int components_;
};

// The recovered field at the nodes of `elements` (0 where no patch fit is determined). Fits the
// patches of the elements' corners, in ascending order as a fit of the whole mesh would: a node's
// value is one fit, or the mean of its edge's two fits, so that processes that share a node give it
// the same value bit for bit. The patches' samples are taken from `samples` as they are needed.
RecoveredField recoverPatchwise(const FeMesh& mesh, SampledFlux& samples, std::span<const int> elements);

}  // namespace tarvsolv
