#pragma once
// One pass over the elements that fills whichever of the elastic stiffness, the consistent mass
// and the element loads an analysis needs, each element's material looked up once. Every target
// takes the elements' contributions in element order, as a pass of its own would.
#include <functional>
#include <string>
#include <vector>

#include "fem/system_assembler.h"
#include "physics/job.h"
#include "physics/structural_statics.h"

namespace tarvsolv {

struct ElasticTargets {
    // The stiffness; its right-hand side, when the assembler has one, takes the element loads
    // with the prescribed values lifted into them.
    SystemAssembler* stiffness = nullptr;
    // The consistent mass; its right-hand side, when the assembler has one, takes the lift of the
    // prescribed values.
    SystemAssembler* mass = nullptr;
    // The element loads alone, added without lifting (for a pass without a stiffness).
    SystemAssembler* loads = nullptr;
    // Element loads: the body force per mass of this field (none when empty) and, with `thermal`,
    // the loads of the thermal strains.
    std::function<Vec3(const Vec3&)> acceleration;
    bool thermal = false;
    // When given (global axes, every unknown), minus the element's internal forces K u join the
    // stiffness's right-hand side: the residual of a Newton step.
    const std::vector<double>* displacements = nullptr;
    // Only these elements, in this order; null: every element the layout assembles.
    const std::vector<int>* elements = nullptr;
    // Thrown when a mass is assembled and a material has no density above 0; empty: not checked.
    std::string noDensity;
};

// The largest leading diagonal entry of the element stiffnesses and masses, for scaling shifts.
struct ElasticScales {
    double stiffness = 0, mass = 0;
};

// Adds every element's contributions to the targets (the caller finishes the assemblers).
ElasticScales assembleElastic(const Job& job, const DofLayout& layout, const TemperatureField& temperatures,
                              const ElasticTargets& targets);

}  // namespace tarvsolv
