#pragma once
// Element matrices and vectors of the tetrahedra: elastic stiffness, consistent mass, body and
// thermal loads, conductivity, heat sources, corner stresses, and the integration points of
// boundary faces and edges. Element arrays are dense, row-major, in the solver's local order;
// displacement arrays interleave x, y, z per node.
#include <array>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "fem/fe_mesh.h"
#include "fem/shape_functions.h"
#include "fem/vec3.h"

namespace tarvsolv {

struct IsotropicElastic {
    double young = 0, poisson = 0, expansion = 0, density = 0;
};

// The elastic law every structural kernel takes: stresses sx sy sz txy tyz txz from the strains
// ex ey ez gxy gyz gxz (engineering shears) through a 6x6 matrix in global axes, the free thermal
// strain per degree in the same order, and the density. An isotropic law keeps its Lame constants
// so that the kernels can take their short path.
struct ElasticMaterial {
    ElasticMaterial() = default;
    ElasticMaterial(const IsotropicElastic& m);  // NOLINT: an isotropic law is an elastic law
    ElasticMaterial(double young, double poisson, double expansion, double density)
        : ElasticMaterial(IsotropicElastic{young, poisson, expansion, density}) {}

    bool isotropic = true;
    double lambda = 0, mu = 0;          // isotropic only
    std::array<double, 36> d{};         // row-major, global axes
    std::array<double, 6> expansion{};  // free thermal strain per degree, global axes
    double density = 0;
};

// The constants of an orthotropic material whose direction 1 lies in the XY plane at `angleDegrees`
// from X (counter-clockwise about Z), direction 2 across it in the XY plane, direction 3 along Z.
// The material is transversely isotropic about direction 1: E3 = E2, G13 = G12, nu12 = nu13 = nu23
// = nu, G23 = E2 / (2 (1 + nu)), alpha3 = alpha2. With E2 = E1, G12 = E1 / (2 (1 + nu)) and alpha2
// = alpha1 it is the isotropic material.
struct OrthotropicConstants {
    double e1 = 0, nu = 0, e2 = 0, g12 = 0, angleDegrees = 0, alpha1 = 0, alpha2 = 0, density = 0;
};
// Answers the law in global axes; empty when a modulus is not above 0 or the compliance is not
// positive definite.
std::optional<ElasticMaterial> orthotropicElastic(const OrthotropicConstants& c);
// Stresses (global axes) of the displacement gradient `grad` (du_a / dx_b) and the temperature
// change `dT`.
std::array<double, 6> stressOf(const ElasticMaterial& m, const double (&grad)[3][3], double dT);

// Shape values, global derivatives and |det J| times the rule weight at one integration point.
struct VolumePoint {
    std::array<double, kMaxElementNodes> n{};
    std::array<std::array<double, 3>, kMaxElementNodes> dx{};
    double weight = 0;  // |det J| * rule weight
    double detJ = 0;    // signed
    Vec3 x;
};

// Evaluates the element's geometry at reference point `xi`; `ruleWeight` scales the weight.
VolumePoint volumePoint(const FeMesh& mesh, int element, const std::array<double, 3>& xi,
                        double ruleWeight = 1);
// Integration points of the rule of the given degree.
std::vector<VolumePoint> volumePoints(const FeMesh& mesh, int element, int degree);
// The gradient du_a / dx_b at a point of an element from its nodes' displacements (3 per node).
void displacementGradient(const VolumePoint& g, int nodes, std::span<const double> ue, double (&grad)[3][3]);

// Stiffness (3P x 3P) of an isotropic element.
void elasticStiffness(const FeMesh& mesh, int element, const ElasticMaterial& m, std::vector<double>& ke);
// Consistent mass (3P x 3P) with density `rho` (already in consistent mass units).
void consistentMass(const FeMesh& mesh, int element, double rho, std::vector<double>& me);
// Equivalent nodal forces (3P) of a body force per volume given at each point.
void bodyForce(const FeMesh& mesh, int element, const std::function<Vec3(const Vec3&)>& force,
               std::vector<double>& fe);
// Equivalent nodal forces (3P) of the free thermal strain expansion * dT, dT given per element node.
void thermalLoad(const FeMesh& mesh, int element, const ElasticMaterial& m, std::span<const double> dT,
                 std::vector<double>& fe);
// Conductivity matrix (P x P) with the conductivities along x, y, z.
void conductivityMatrix(const FeMesh& mesh, int element, const Vec3& k, std::vector<double>& ke);
// Nodal heat (P) of a heat source per volume.
void heatSource(const FeMesh& mesh, int element, const std::function<double(const Vec3&)>& q,
                std::vector<double>& fe);

// Stresses sx sy sz txy tyz txz at the four corners from the element's displacements (3P) and
// the temperature change per element node (empty: none).
using Stress6 = std::array<double, 6>;
std::array<Stress6, 4> cornerStresses(const FeMesh& mesh, int element, const ElasticMaterial& m,
                                      std::span<const double> ue, std::span<const double> dT);

// Heat flux q = -k grad T (k along x, y, z) at the four corners from the element's nodal
// temperatures (P).
std::array<Vec3, 4> cornerHeatFlux(const FeMesh& mesh, int element, const Vec3& k,
                                   std::span<const double> te);

// One integration point of a boundary face or edge: the shape values of the face (edge) nodes,
// the position, and the area (length) element times weight; faces also carry the outward normal.
struct BoundaryPoint {
    std::array<double, 6> n{};
    Vec3 x;
    Vec3 normal;  // unit outward normal (faces only)
    double measure = 0;
    std::array<double, 2> xi{};  // reference coordinates on the face (faces only), weights of corners b, c
};

// Points of local face `facet` of its element, in the node order of FeMesh::faceNodes.
std::vector<BoundaryPoint> facePoints(const FeMesh& mesh, const Facet& facet);
// Points of an edge given by its end nodes and, for quadratic meshes, its mid-side node (-1: none).
std::vector<BoundaryPoint> edgePoints(const FeMesh& mesh, int a, int b, int mid);

}  // namespace tarvsolv
