#pragma once
// Materials per body, from the MATERIALS lines "<body> E1,nu,alpha1,rho,0,E2,G12,angle,alpha2,
// Sy,Su,Se,Syc" (mechanical), "<body> k,ky,kz,rho,c" (thermal) or "<body> rho,mu,k,c,beta" (fluid:
// density, dynamic viscosity, conductivity, heat capacity, expansion). Each field is a number, a
// material table (over temperature) or a formula; fields are evaluated per element.
#include <map>
#include <optional>

#include "fem/element_kernels.h"
#include "physics/expressions.h"
#include "physics/model_entries.h"
#include "physics/model_geometry.h"

namespace tarvsolv {

class BodyMaterial {
  public:
    BodyMaterial(const MaterialEntry& entry, const TableSet& tables, Physics physics);

    // Elastic law at a point and temperature, orthotropic when E2, G12 or alpha2 differ from the
    // isotropic values (each 0 takes its isotropic value; see orthotropicElastic for the frame).
    // Throws std::runtime_error naming the line for values that make no material (E <= 0, nu
    // outside -1..0.5, E2 or G12 below 0, a compliance that is not positive definite).
    ElasticMaterial elasticAt(const EvalPoint& at) const;
    // The limit stresses at a point: tensile yield Sy, fracture limit Su and compressive yield
    // Syc (0 where the line leaves them out).
    struct Limits {
        double tensileYield = 0, ultimate = 0, compressiveYield = 0;
    };
    Limits limitsAt(const EvalPoint& at) const;
    // Conductivities along x, y, z (Y and Z conductivities of 0 take the conductivity).
    Vec3 conductivityAt(const EvalPoint& at) const;
    // Heat stored per volume and degree, density times specific heat; throws std::runtime_error
    // when either is missing or not above 0.
    double heatCapacityAt(const EvalPoint& at) const;
    // A fluid's density (as typed: the caller scales it to the model's mass unit) and dynamic
    // viscosity; throws std::runtime_error naming `body` when either is not above 0 (for a
    // viscosity of exactly 0, saying that such a body is a solid, which a flow that carries heat
    // takes).
    struct Fluid {
        double density = 0, viscosity = 0;
    };
    Fluid fluidAt(const EvalPoint& at, int body) const;
    // A fluid's heat constants, for a flow that carries heat: conductivity and heat capacity c
    // (throws std::runtime_error naming `body` when either is not above 0) and expansion beta.
    struct FluidHeat {
        double conductivity = 0, heatCapacity = 0, expansion = 0;
    };
    FluidHeat fluidHeatAt(const EvalPoint& at, int body) const;
    // A gas's constants, as typed: ratio of specific heats, gas constant, dynamic viscosity and
    // conductivity (the fluid line's fields 6, 7, 2 and 3). Throws std::runtime_error naming `body`
    // when the ratio is not above 1 or the gas constant not above 0 (a line of five values has
    // neither), or the viscosity or conductivity is below 0.
    struct Gas {
        double gamma = 0, gasConstant = 0, viscosity = 0, conductivity = 0;
    };
    Gas gasAt(const EvalPoint& at, int body) const;
    // Whether a body of the fluid material grid is a solid, which only conducts heat: its dynamic
    // viscosity is 0.
    bool isSolidAt(const EvalPoint& at) const;
    // A solid's heat constants in a flow that carries heat: the conductivity (above 0), and the
    // density and heat capacity (above 0 when `transient`; a steady run stores no heat). Throws
    // std::runtime_error naming `body` otherwise. The density is as typed.
    struct SolidHeat {
        double density = 0, conductivity = 0, heatCapacity = 0;
    };
    SolidHeat solidHeatAt(const EvalPoint& at, int body, bool transient) const;
    // Whether a conductivity is a table or formula, so that it may follow temperature.
    bool conductivityMayVary() const;
    int line() const { return line_; }

  private:
    std::vector<Expression> fields_;
    Physics physics_;
    int line_;
};

class MaterialSet {
  public:
    // The last material entry of each body is the one that counts. Throws std::runtime_error for a
    // field that cannot be read.
    // `sharedByAllBodies`: the model lists no bodies (an assembly, whose one material the add-on
    // writes for body 1); when its entries then name a single body, that material holds for every body.
    MaterialSet(const ModelEntries& entries, Physics physics, bool sharedByAllBodies = false);
    // Throws std::runtime_error "no material for body N" when the body has none.
    const BodyMaterial& forBody(int body) const;
    // The material of element `e`'s body.
    const BodyMaterial& forElement(const ModelGeometry& geometry, int e) const {
        return forBody(geometry.bodyOfElement(e));
    }
    // Whether any body's conductivity may follow temperature.
    bool conductivityMayVary() const;

  private:
    std::map<int, BodyMaterial> bodies_;
    const BodyMaterial* everyBody_ = nullptr;
};

// Where an element's material values are taken: at its centroid, at `time` and `temperature`.
inline EvalPoint elementPoint(const FeMesh& mesh, int e, double time, double temperature) {
    return {elementCentroid(mesh, e), time, temperature};
}

}  // namespace tarvsolv
