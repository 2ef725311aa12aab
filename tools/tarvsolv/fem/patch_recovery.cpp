#include "fem/patch_recovery.h"

#include <algorithm>
#include <cmath>

#include "base/agree_on_failure.h"
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
    PatchFit(const FeMesh& mesh, const SampledFlux& samples, const NodeElements& around)
        : mesh_(mesh),
          samples_(samples),
          around_(around),
          perElement_(static_cast<int>(samplingRule(mesh).size())),
          stamp_(static_cast<std::size_t>(mesh.elementCount()), -1) {}

    // Fits the patch of corner node `node`; false when no fit is determined even at degree 0.
    bool fit(int node, int degree) {
        centre_ = mesh_.node(node);
        patch_.assign(around_.elements.begin() + around_.start[node],
                      around_.elements.begin() + around_.start[node + 1]);
        for (int e : patch_) stamp_[e] = node;
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
        const int m = samples_.components, terms = termsOf(degree_);
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
                    if (stamp_[e] != node) stamp_[e] = node, patch_.push_back(e);
                }
            }
    }

    // Least squares over the patch's points in coordinates scaled by the patch's size, so that
    // the normal equations stay well conditioned whatever the model's unit.
    bool solve(int degree) {
        const int terms = termsOf(degree), m = samples_.components;
        const std::size_t points = patch_.size() * static_cast<std::size_t>(perElement_);
        if (points < static_cast<std::size_t>(terms)) return false;
        scale_ = 0;
        for (int e : patch_)
            for (int q = 0; q < perElement_; ++q)
                scale_ = std::max(scale_, norm(samples_.positions[e * perElement_ + q] - centre_));
        if (!(scale_ > 0)) scale_ = 1;
        normal_.assign(static_cast<std::size_t>(terms) * terms, 0.0);
        coefficients_.assign(static_cast<std::size_t>(terms) * m, 0.0);
        double p[10];
        for (int e : patch_)
            for (int q = 0; q < perElement_; ++q) {
                const std::size_t at = static_cast<std::size_t>(e) * perElement_ + q;
                basis(degree, (1.0 / scale_) * (samples_.positions[at] - centre_), p);
                const double* v = &samples_.values[at * m];
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
    const SampledFlux& samples_;
    const NodeElements& around_;
    int perElement_;
    std::vector<int> stamp_;  // the node whose patch last took each element
    std::vector<int> patch_;
    std::vector<double> normal_, coefficients_;
    Vec3 centre_;
    double scale_ = 1;
    int degree_ = 0;
};

// The fields the patches of one process's corners give: each corner's fit at the corner, and the
// sum of the fits at the mid-side nodes of its edges, with how many fits each node took.
struct CornerFits {
    std::vector<double> values;
    std::vector<int> hits;

    CornerFits(std::size_t nodes, int components)
        : values(nodes * components, 0.0), hits(nodes, 0), value_(static_cast<std::size_t>(components)) {}

    // Fits the patch of corner `node` and adds it at the node and its edges' mid-side nodes.
    void add(const FeMesh& mesh, const NodeElements& around, PatchFit& fit, int node, int degree, int m) {
        if (!around.isCorner(node) || !fit.fit(node, degree)) return;
        fit.valueAt(mesh.node(node), &values[node * m]);
        hits[node] = 1;
        if (mesh.nodesPerElement != 10) return;
        // The mid-side nodes of the edges that end at this corner, each once per corner.
        for (int i = around.start[node]; i < around.start[node + 1]; ++i) {
            const auto en = mesh.elementNodes(around.elements[i]);
            for (int k = 0; k < 6; ++k) {
                const int mid = en[4 + k];
                if ((en[kEdges[k][0]] != node && en[kEdges[k][1]] != node) || hits[mid] < 0) continue;
                fit.valueAt(mesh.node(mid), value_.data());
                for (int c = 0; c < m; ++c) values[mid * m + c] += value_[c];
                hits[mid] = -(hits[mid] + 1);  // taken from this corner; made positive below
            }
        }
        for (int i = around.start[node]; i < around.start[node + 1]; ++i) {
            const auto en = mesh.elementNodes(around.elements[i]);
            for (int k = 0; k < 6; ++k) hits[en[4 + k]] = std::abs(hits[en[4 + k]]);
        }
    }

  private:
    std::vector<double> value_;  // one fit's value at a mid-side node
};

}  // namespace

const std::vector<QuadPoint>& samplingRule(const FeMesh& mesh) {
    return tetRule(mesh.nodesPerElement == 4 ? 1 : 2);
}

std::vector<double> recoverPatchwise(const FeMesh& mesh, const SampledFlux& samples, MPI_Comm comm) {
    const int m = samples.components, degree = mesh.nodesPerElement == 4 ? 1 : 2;
    int rank = 0, size = 1;
    MPI_Comm_rank(comm, &rank);
    MPI_Comm_size(comm, &size);
    const long long count = mesh.nodeCount();
    CornerFits fits(static_cast<std::size_t>(count), m);
    agreeOnFailure(comm, [&] {
        const NodeElements around(mesh);
        PatchFit fit(mesh, samples, around);
        const int first = static_cast<int>(count * rank / size),
                  end = static_cast<int>(count * (rank + 1) / size);
        for (int node = first; node < end; ++node) fits.add(mesh, around, fit, node, degree, m);
    });
    std::vector<double>& out = fits.values;
    std::vector<int>& hits = fits.hits;
    if (size > 1) {
        MPI_Allreduce(MPI_IN_PLACE, out.data(), static_cast<int>(out.size()), MPI_DOUBLE, MPI_SUM, comm);
        MPI_Allreduce(MPI_IN_PLACE, hits.data(), static_cast<int>(hits.size()), MPI_INT, MPI_SUM, comm);
    }
    for (std::size_t n = 0; n < hits.size(); ++n)
        if (hits[n] > 1)
            for (int c = 0; c < m; ++c) out[n * m + c] /= hits[n];
    return std::move(out);
}

}  // namespace tarvsolv
