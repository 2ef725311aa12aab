#include "physics/materials.h"

#include <cmath>
#include <stdexcept>

namespace tarvsolv {
namespace {

enum MechanicalField { kE1, kNu, kAlpha1, kRho, kUnused, kE2, kG12, kAngle, kAlpha2, kSy, kSu, kSe, kSyc };
enum ThermalField { kK, kKy, kKz, kDensity, kSpecificHeat };
enum FluidField {
    kFluidDensity,
    kViscosity,
    kFluidConductivity,
    kFluidHeatCapacity,
    kExpansion,
    kGamma,
    kGasConstant
};

std::runtime_error materialError(int line, const std::string& what) {
    return std::runtime_error("material on input line " + std::to_string(line) + ": " + what);
}

bool differs(double a, double b) {
    return std::abs(a - b) > 1e-6 * std::max(std::abs(a), std::abs(b));
}

}  // namespace

BodyMaterial::BodyMaterial(const MaterialEntry& entry, const TableSet& tables, Physics physics)
    : physics_(physics), line_(entry.line) {
    const std::size_t needed = physics == Physics::Thermal ? 3 : physics == Physics::Fluid ? 2 : 4;
    if (entry.fields.size() < needed)
        throw materialError(line_, "expected at least " + std::to_string(needed) + " fields, found " +
                                       std::to_string(entry.fields.size()));
    for (const auto& field : entry.fields) {
        try {
            fields_.emplace_back(field.empty() ? "0" : field, tables);
        } catch (const std::runtime_error& e) {
            throw materialError(line_, e.what());
        }
    }
}

ElasticMaterial BodyMaterial::elasticAt(const EvalPoint& at) const {
    const IsotropicElastic m{fields_[kE1](at), fields_[kNu](at), fields_[kAlpha1](at), fields_[kRho](at)};
    if (!(m.young > 0)) throw materialError(line_, "Young's modulus must be above 0");
    if (!(m.poisson > -1 && m.poisson < 0.5))
        throw materialError(line_, "Poisson's ratio must lie between -1 and 0.5");
    if (m.density < 0) throw materialError(line_, "the density must not be negative");
    if (fields_.size() <= kE2) return m;
    // A second set of constants left at 0 (the dialog's starting value) takes the isotropic value.
    const auto field = [&](int k) {
        return fields_.size() > static_cast<std::size_t>(k) ? fields_[k](at) : 0.0;
    };
    const double shear = m.young / (2 * (1 + m.poisson));
    double e2 = field(kE2), g12 = field(kG12), alpha2 = field(kAlpha2);
    if (e2 < 0 || !std::isfinite(e2))
        throw materialError(line_, "Young's modulus 2 must be above 0 (0 takes modulus 1)");
    if (g12 < 0 || !std::isfinite(g12))
        throw materialError(line_, "the shear modulus 1-2 must be above 0 (0 takes E1 / (2 (1 + nu)))");
    if (e2 == 0) e2 = m.young;
    if (g12 == 0) g12 = shear;
    if (alpha2 == 0) alpha2 = m.expansion;
    if (!differs(e2, m.young) && !differs(g12, shear) && !differs(alpha2, m.expansion)) return m;
    const auto law =
        orthotropicElastic({m.young, m.poisson, e2, g12, field(kAngle), m.expansion, alpha2, m.density});
    if (!law)
        throw materialError(line_,
                            "the orthotropic constants E1, E2, G12 and nu give a compliance that is not "
                            "positive definite");
    return *law;
}

BodyMaterial::Limits BodyMaterial::limitsAt(const EvalPoint& at) const {
    const auto field = [&](int k) {
        return fields_.size() > static_cast<std::size_t>(k) ? fields_[k](at) : 0.0;
    };
    return {field(kSy), field(kSu), field(kSyc)};
}

Vec3 BodyMaterial::conductivityAt(const EvalPoint& at) const {
    const double k = fields_[kK](at);
    double ky = fields_[kKy](at), kz = fields_[kKz](at);
    if (ky == 0) ky = k;
    if (kz == 0) kz = k;
    if (!(k > 0 && ky > 0 && kz > 0)) throw materialError(line_, "conductivities must be above 0");
    return {k, ky, kz};
}

bool BodyMaterial::conductivityMayVary() const {
    return physics_ == Physics::Thermal &&
           (!fields_[kK].isConstant() || !fields_[kKy].isConstant() || !fields_[kKz].isConstant());
}

double BodyMaterial::heatCapacityAt(const EvalPoint& at) const {
    const double rho = fields_.size() > kDensity ? fields_[kDensity](at) : 0.0;
    const double c = fields_.size() > kSpecificHeat ? fields_[kSpecificHeat](at) : 0.0;
    if (!(rho > 0 && c > 0))
        throw materialError(line_, "transient heating needs a density and a specific heat above 0");
    return rho * c;
}

BodyMaterial::Fluid BodyMaterial::fluidAt(const EvalPoint& at, int body) const {
    const Fluid fluid{fields_[kFluidDensity](at), fields_[kViscosity](at)};
    if (fluid.density > 0 && fluid.viscosity == 0)
        throw materialError(line_, "the fluid of body " + std::to_string(body) +
                                       " needs a density and a dynamic viscosity above 0: a body of "
                                       "viscosity 0 is a solid, which conducts heat only and is solved "
                                       "by \"multiphysics\", a flow that carries heat");
    if (!(fluid.density > 0 && fluid.viscosity > 0))
        throw materialError(line_, "the fluid of body " + std::to_string(body) +
                                       " needs a density and a dynamic viscosity above 0");
    return fluid;
}

BodyMaterial::Gas BodyMaterial::gasAt(const EvalPoint& at, int body) const {
    const auto field = [&](int k) { return k < static_cast<int>(fields_.size()) ? fields_[k](at) : 0.0; };
    const Gas gas{field(kGamma), field(kGasConstant), field(kViscosity), field(kFluidConductivity)};
    if (!(gas.gamma > 1 && gas.gasConstant > 0 && std::isfinite(gas.gamma) && std::isfinite(gas.gasConstant)))
        throw materialError(line_, "body " + std::to_string(body) +
                                       " is not a gas: its ratio of specific heats must be above 1 and its "
                                       "gas constant above 0");
    if (!(gas.viscosity >= 0 && gas.conductivity >= 0))
        throw materialError(line_, "the gas of body " + std::to_string(body) +
                                       " needs a viscosity and a conductivity not below 0");
    return gas;
}

bool BodyMaterial::isSolidAt(const EvalPoint& at) const {
    return fields_[kViscosity](at) == 0;
}

BodyMaterial::SolidHeat BodyMaterial::solidHeatAt(const EvalPoint& at, int body, bool transient) const {
    const auto field = [&](int k) { return k < static_cast<int>(fields_.size()) ? fields_[k](at) : 0.0; };
    const SolidHeat heat{field(kFluidDensity), field(kFluidConductivity), field(kFluidHeatCapacity)};
    if (!(heat.conductivity > 0))
        throw materialError(line_, "the solid of body " + std::to_string(body) +
                                       " conducts heat: it needs a conductivity above 0");
    if (transient && !(heat.density > 0 && heat.heatCapacity > 0))
        throw materialError(line_, "the solid of body " + std::to_string(body) +
                                       " stores heat in a transient run: it needs a density and a heat "
                                       "capacity above 0");
    if (heat.density < 0 || heat.heatCapacity < 0)
        throw materialError(line_, "the solid of body " + std::to_string(body) +
                                       " needs a density and a heat capacity not below 0");
    return heat;
}

BodyMaterial::FluidHeat BodyMaterial::fluidHeatAt(const EvalPoint& at, int body) const {
    const auto field = [&](int k) { return k < static_cast<int>(fields_.size()) ? fields_[k](at) : 0.0; };
    const FluidHeat heat{field(kFluidConductivity), field(kFluidHeatCapacity), field(kExpansion)};
    if (!(heat.conductivity > 0 && heat.heatCapacity > 0))
        throw materialError(line_, "the fluid of body " + std::to_string(body) +
                                       " carries heat: it needs a conductivity and a heat capacity above 0");
    return heat;
}

MaterialSet::MaterialSet(const ModelEntries& entries, Physics physics, bool sharedByAllBodies) {
    for (const MaterialEntry& entry : entries.materials)
        bodies_.insert_or_assign(entry.body, BodyMaterial(entry, entries.tables, physics));
    if (sharedByAllBodies && bodies_.size() == 1) everyBody_ = &bodies_.begin()->second;
}

bool MaterialSet::conductivityMayVary() const {
    for (const auto& [body, material] : bodies_)
        if (material.conductivityMayVary()) return true;
    return false;
}

const BodyMaterial& MaterialSet::forBody(int body) const {
    if (everyBody_) return *everyBody_;
    const auto it = bodies_.find(body);
    if (it == bodies_.end())
        throw std::runtime_error("no material for body " + std::to_string(body) +
                                 "; assign a material to it");
    return it->second;
}

}  // namespace tarvsolv
