#include "physics/materials.h"

#include <cmath>
#include <stdexcept>

namespace tarvsolv {
namespace {

enum MechanicalField { kE1, kNu, kAlpha1, kRho, kUnused, kE2, kG12, kAngle, kAlpha2 };
enum ThermalField { kK, kKy, kKz, kDensity, kSpecificHeat };

std::runtime_error materialError(int line, const std::string& what) {
    return std::runtime_error("material on input line " + std::to_string(line) + ": " + what);
}

bool differs(double a, double b) {
    return std::abs(a - b) > 1e-6 * std::max(std::abs(a), std::abs(b));
}

// Refuses a mechanical entry whose second set of constants differs from the first.
void refuseOrthotropic(const std::vector<Expression>& f, int line) {
    if (f.size() <= kAlpha2) return;
    for (int k : {kE2, kG12, kAngle, kAlpha2})
        if (!f[k].isConstant())
            throw materialError(line, "orthotropic constants are not solved by this version");
    const EvalPoint at;
    const double e = f[kE1](at), nu = f[kNu](at), e2 = f[kE2](at), g12 = f[kG12](at), alpha2 = f[kAlpha2](at);
    const bool orthotropic = (e2 != 0 && differs(e2, e)) || (g12 != 0 && differs(g12, e / (2 * (1 + nu)))) ||
                             (alpha2 != 0 && differs(alpha2, f[kAlpha1](at)));
    if (orthotropic)
        throw materialError(line,
                            "orthotropic materials (E2, G12, alpha2 differing from E1, nu, alpha1) are not "
                            "solved by this version");
}

}  // namespace

BodyMaterial::BodyMaterial(const MaterialEntry& entry, const TableSet& tables, bool thermal)
    : thermal_(thermal), line_(entry.line) {
    const std::size_t needed = thermal ? 3 : 4;
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
    if (!thermal) refuseOrthotropic(fields_, line_);
}

IsotropicElastic BodyMaterial::elasticAt(const EvalPoint& at) const {
    IsotropicElastic m{fields_[kE1](at), fields_[kNu](at), fields_[kAlpha1](at), fields_[kRho](at)};
    if (!(m.young > 0)) throw materialError(line_, "Young's modulus must be above 0");
    if (!(m.poisson > -1 && m.poisson < 0.5))
        throw materialError(line_, "Poisson's ratio must lie between -1 and 0.5");
    if (m.density < 0) throw materialError(line_, "the density must not be negative");
    return m;
}

Vec3 BodyMaterial::conductivityAt(const EvalPoint& at) const {
    const double k = fields_[kK](at);
    double ky = fields_[kKy](at), kz = fields_[kKz](at);
    if (ky == 0) ky = k;
    if (kz == 0) kz = k;
    if (!(k > 0 && ky > 0 && kz > 0)) throw materialError(line_, "conductivities must be above 0");
    return {k, ky, kz};
}

double BodyMaterial::heatCapacityAt(const EvalPoint& at) const {
    const double rho = fields_.size() > kDensity ? fields_[kDensity](at) : 0.0;
    const double c = fields_.size() > kSpecificHeat ? fields_[kSpecificHeat](at) : 0.0;
    if (!(rho > 0 && c > 0))
        throw materialError(line_, "transient heating needs a density and a specific heat above 0");
    return rho * c;
}

MaterialSet::MaterialSet(const ModelEntries& entries, bool thermal, bool sharedByAllBodies) {
    for (const MaterialEntry& entry : entries.materials)
        bodies_.insert_or_assign(entry.body, BodyMaterial(entry, entries.tables, thermal));
    if (sharedByAllBodies && bodies_.size() == 1) everyBody_ = &bodies_.begin()->second;
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
