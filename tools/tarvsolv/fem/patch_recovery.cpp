#include "fem/patch_recovery.h"

#include <algorithm>
#include <cmath>

#include "fem/dense_cholesky.h"

namespace tarvsolv {
namespace {

// Local order of the mid-side nodes: the edges 0-1, 1-2, 0-2, 0-3, 1-3, 2-3.
constexpr int kEdges[6][2] = {{0, 1}, {1, 2}, {0, 2}, {0, 3}, {1, 3}, {2, 3}};
// A patch grows at most this many times (a ring of elements each) before its fit lowers its degree.
constexpr int kMostGrowths = 3;

int termsOf(int degree) {
    return degree == 2 ? 10 : (degree == 1 ? 4 : 1);
}

// The complete polynomial basis of `degree` (0, 1, 2) at the scaled position `p`.
void basis(int degree, const Vec3& p, double* out) {
    out[0] = 1;
    if (degree < 1) return;
    out[1] = p.x, out[2] = p.y, out[3] = p.z;
    if (degree < 2) return;
    out[4] = p.x * p.x, out[5] = p.y * p.y, out[6] = p.z * p.z;
    out[7] = p.x * p.y, out[8] = p.y * p.z, out[9] = p.x * p.z;
}

// The elements around each corner node, as compressed rows.
struct NodeElements {
    std::vector<int> start, elements;

    explicit NodeElements(const FeMesh& mesh) : start(static_cast<std::size_t>(mesh.nodeCount()) + 1, 0) {
        for (int e = 0; e < mesh.elementCount(); ++e)
            for (int c = 0; c < 4; ++c) ++start[mesh.elementNodes(e)[c] + 1];
        for (std::size_t n = 1; n < start.size(); ++n) start[n] += start[n - 1];
        elements.resize(static_cast<std::size_t>(start.back()));
        std::vector<int> next(start.begin(), start.end() - 1);
        for (int e = 0; e < mesh.elementCount(); ++e)
            for (int c = 0; c < 4; ++c) elements[next[mesh.elementNodes(e)[c]]++] = e;
    }
    bool isCorner(int node) const { return start[node + 1] > start[node]; }
};

// Fits one patch: its elements, the fit's degree and coefficients, reused from node to node.
class PatchFit {
  public:
    PatchFit(const FeMesh& mesh, SampledFlux& samples, const NodeElements& around)
        : mesh_(mesh),
          samples_(samples),
          around_(around),
          perElement_(samples.perElement()),
          stamp_(static_cast<std::size_t>(mesh.elementCount()), -1) {}

    // Fits the patch of corner node `node`; false when no fit is determined even at degree 0.
    bool fit(int node, int degree) {
        centre_ = mesh_.node(node);
        patch_.assign(around_.elements.begin() + around_.start[node],
                      around_.elements.begin() + around_.start[node + 1]);
        for (int e : patch_) stamp_[e] = node, samples_.take(e);
        for (int growths = 0;; ++growths) {
            for (int d = degree; d >= 0; --d)
                if ((growths == kMostGrowths || d == degree) && solve(d)) return true;
            if (growths == kMostGrowths) return false;
            grow(node);
        }
    }

    // The fitted flux at `x`, `components` values.
    void valueAt(const Vec3& x, double* out) const {
        double p[10];
        basis(degree_, (1.0 / scale_) * (x - centre_), p);
        const int m = samples_.components(), terms = termsOf(degree_);
        for (int c = 0; c < m; ++c) {
            double sum = 0;
            for (int t = 0; t < terms; ++t) sum += p[t] * coefficients_[t * m + c];
            out[c] = sum;
        }
    }

  private:
    // Adds the elements around every corner of the patch's elements.
    void grow(int node) {
        const std::size_t before = patch_.size();
        for (std::size_t k = 0; k < before; ++k)
            for (int c = 0; c < 4; ++c) {
                const int corner = mesh_.elementNodes(patch_[k])[c];
                for (int i = around_.start[corner]; i < around_.start[corner + 1]; ++i) {
                    const int e = around_.elements[i];
                    if (stamp_[e] != node) stamp_[e] = node, patch_.push_back(e), samples_.take(e);
                }
            }
    }

    // Least squares over the patch's points in coordinates scaled by the patch's size, so that
    // the normal equations stay well conditioned whatever the model's unit.
    bool solve(int degree) {
        const int terms = termsOf(degree), m = samples_.components();
        const std::size_t points = patch_.size() * static_cast<std::size_t>(perElement_);
        if (points < static_cast<std::size_t>(terms)) return false;
        scale_ = 0;
        for (int e : patch_)
            for (int q = 0; q < perElement_; ++q)
                scale_ = std::max(scale_, norm(samples_.position(e, q) - centre_));
        if (!(scale_ > 0)) scale_ = 1;
        normal_.assign(static_cast<std::size_t>(terms) * terms, 0.0);
        coefficients_.assign(static_cast<std::size_t>(terms) * m, 0.0);
        double p[10];
        for (int e : patch_)
            for (int q = 0; q < perElement_; ++q) {
                basis(degree, (1.0 / scale_) * (samples_.position(e, q) - centre_), p);
                const double* v = samples_.values(e, q);
                for (int i = 0; i < terms; ++i) {
                    for (int j = 0; j <= i; ++j) normal_[i * terms + j] += p[i] * p[j];
                    for (int c = 0; c < m; ++c) coefficients_[i * m + c] += p[i] * v[c];
                }
            }
        for (int i = 0; i < terms; ++i)
            for (int j = 0; j < i; ++j) normal_[j * terms + i] = normal_[i * terms + j];
        // Points on one plane or line leave the fit undetermined: a pivot that all but vanishes.
        if (!choleskyFactor(normal_, terms, 1e-10)) return false;
        choleskySolve(normal_, terms, coefficients_.data(), m);
        degree_ = degree;
        return true;
    }

    const FeMesh& mesh_;
    SampledFlux& samples_;
    const NodeElements& around_;
    int perElement_;
    std::vector<int> stamp_;  // the node whose patch last took each element
    std::vector<int> patch_;
    std::vector<double> normal_, coefficients_;
    Vec3 centre_;
    double scale_ = 1;
    int degree_ = 0;
};

// The fields the patches of some corners give at a set of nodes: each corner's fit at the corner,
// and the sum of the fits at the mid-side nodes of its edges, with how many fits each node took.
struct CornerFits {
    std::vector<int> indexOf;  // per mesh node: its index in the set, -1 outside it
    std::vector<double> values;
    std::vector<int> hits;

    CornerFits(std::vector<int> index, std::size_t nodes, int components)
        : indexOf(std::move(index)),
          values(nodes * components, 0.0),
          hits(nodes, 0),
          value_(static_cast<std::size_t>(components)) {}

    // Fits the patch of corner `node`, one of the set, and adds it at the node and at those
    // mid-side nodes of its edges that are in the set.
    void add(const FeMesh& mesh, const NodeElements& around, PatchFit& fit, int node, int degree, int m) {
        if (!around.isCorner(node) || !fit.fit(node, degree)) return;
        const auto at = static_cast<std::size_t>(indexOf[node]);
        fit.valueAt(mesh.node(node), &values[at * m]);
        hits[at] = 1;
        if (mesh.nodesPerElement != 10) return;
        // The mid-side nodes of the edges that end at this corner, each once per corner.
        for (int i = around.start[node]; i < around.start[node + 1]; ++i) {
            const auto en = mesh.elementNodes(around.elements[i]);
            for (int k = 0; k < 6; ++k) {
                const int mid = indexOf[en[4 + k]];
                if ((en[kEdges[k][0]] != node && en[kEdges[k][1]] != node) || mid < 0 || hits[mid] < 0)
                    continue;
                fit.valueAt(mesh.node(en[4 + k]), value_.data());
                for (int c = 0; c < m; ++c) values[mid * m + c] += value_[c];
                hits[mid] = -(hits[mid] + 1);  // taken from this corner; made positive below
            }
        }
        for (int i = around.start[node]; i < around.start[node + 1]; ++i) {
            const auto en = mesh.elementNodes(around.elements[i]);
            for (int k = 0; k < 6; ++k)
                if (const int mid = indexOf[en[4 + k]]; mid >= 0) hits[mid] = std::abs(hits[mid]);
        }
    }

  private:
    std::vector<double> value_;  // one fit's value at a mid-side node
};

}  // namespace

const std::vector<QuadPoint>& samplingRule(const FeMesh& mesh) {
    return tetRule(mesh.nodesPerElement == 4 ? 1 : 2);
}

SampledFlux::SampledFlux(const FeMesh& mesh, int components, Sampler sample)
    : components_(components),
      perElement_(static_cast<int>(samplingRule(mesh).size())),
      sample_(std::move(sample)),
      slot_(static_cast<std::size_t>(mesh.elementCount()), -1) {}

void SampledFlux::reserve(std::size_t elements) {
    positions_.reserve(elements * perElement_);
    values_.reserve(elements * perElement_ * components_);
}

void SampledFlux::take(int element) {
    if (slot_[element] >= 0) return;
    const std::size_t at = positions_.size();
    positions_.resize(at + perElement_);
    values_.resize((at + perElement_) * components_);
    sample_(element, positions_.data() + at, values_.data() + at * components_);
    slot_[element] = static_cast<int>(at / perElement_);
}

RecoveredField recoverPatchwise(const FeMesh& mesh, SampledFlux& samples, std::span<const int> elements) {
    const int m = samples.components(), degree = mesh.nodesPerElement == 4 ? 1 : 2;
    std::vector<int> indexOf(static_cast<std::size_t>(mesh.nodeCount()), -1);
    for (const int e : elements)
        for (const int n : mesh.elementNodes(e)) indexOf[n] = 0;
    std::size_t nodes = 0;
    for (int& i : indexOf)
        if (i >= 0) i = static_cast<int>(nodes++);
    CornerFits fits(std::move(indexOf), nodes, m);
    const NodeElements around(mesh);
    PatchFit fit(mesh, samples, around);
    // In ascending order, as a fit of the whole mesh: a mid-side node sums its two fits alike.
    for (int node = 0; node < mesh.nodeCount(); ++node)
        if (fits.indexOf[node] >= 0) fits.add(mesh, around, fit, node, degree, m);
    for (std::size_t n = 0; n < fits.hits.size(); ++n)
        if (fits.hits[n] > 1)
            for (int c = 0; c < m; ++c) fits.values[n * m + c] /= fits.hits[n];
    return {std::move(fits.indexOf), std::move(fits.values), m};
}

}  // namespace tarvsolv
