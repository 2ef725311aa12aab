#include "physics/prescribed_motion.h"

#include "fem/element_loop.h"
#include "fem/system_assembler.h"
#include "physics/elastic_assembly.h"
#include "physics/structural_conditions.h"

namespace tarvsolv {

PrescribedMotion::PrescribedMotion(const Job& job, const DofLayout& layout,
                                   const TemperatureField& temperatures, double dt)
    : job_(job), layout_(layout), temperatures_(temperatures), dt_(dt) {
    forEachAssembledElement(job.mesh, layout, [&](int e) {
        bool held = false;
        for (int n : job.mesh.elementNodes(e))
            for (int a = 0; a < 3; ++a) held = held || layout.isPrescribed(3 * n + a);
        if (held) elements_.push_back(e);
    });
}

const std::vector<double>& PrescribedMotion::valuesAt(int step) {
    step = std::max(step, 0);
    auto it = values_.find(step);
    if (it != values_.end()) return it->second;
    // Steps go forward: the values of steps two behind the one asked for are not needed again.
    while (!values_.empty() && values_.begin()->first < step - 2) values_.erase(values_.begin());
    DofLayout at(job_.mesh, 3, layout_.comm());
    RunLog quiet("", false, false);  // the run's first evaluation logged the conditions
    applyDisplacementConditions(job_, at, false, quiet, step * dt_);
    std::vector<double> values(static_cast<std::size_t>(at.dofCount()));
    for (int d = 0; d < at.dofCount(); ++d) values[d] = at.prescribedValue(d);
    return values_.emplace(step, std::move(values)).first->second;
}

PrescribedMotion::State PrescribedMotion::stateAt(int step) {
    State s;
    s.u = valuesAt(step);
    s.v.assign(s.u.size(), 0.0);
    s.a.assign(s.u.size(), 0.0);
    if (step <= 0) return s;  // from rest
    const std::vector<double>&before = valuesAt(step - 1), &after = valuesAt(step + 1);
    for (std::size_t d = 0; d < s.u.size(); ++d) {
        s.v[d] = (after[d] - before[d]) / (2 * dt_);
        s.a[d] = (after[d] - 2 * s.u[d] + before[d]) / (dt_ * dt_);
    }
    return s;
}

void PrescribedMotion::addLoad(int step, double alpha, double beta, Vec f) {
    const State s = stateAt(step);
    // K (u + beta v) + M (a + alpha v): the stiffness and mass couplings, Rayleigh damping split
    // between them.
    std::vector<double> stiffnessPart(s.u.size()), massPart(s.u.size());
    for (std::size_t d = 0; d < s.u.size(); ++d) {
        stiffnessPart[d] = s.u[d] + beta * s.v[d];
        massPart[d] = s.a[d] + alpha * s.v[d];
    }
    const DofLayout stiffnessLift = layout_.withPrescribedValues(stiffnessPart);
    const DofLayout massLift = layout_.withPrescribedValues(massPart);
    // Two right-hand-side assemblies into the same vector: each lifts its own values.
    SystemAssembler stiffness(stiffnessLift, f), mass(massLift, f);
    ElasticTargets targets;
    targets.stiffness = &stiffness;
    targets.mass = &mass;
    targets.elements = &elements_;
    assembleElastic(job_, layout_, temperatures_, targets);
    stiffness.finish();
    mass.finish();
}

void PrescribedMotion::setState(int step, Vec u, Vec v, Vec a) {
    const State s = stateAt(step);
    PetscInt begin = 0, end = 0;
    TARV_PETSC(VecGetOwnershipRange(u, &begin, &end));
    for (PetscInt i = begin; i < end; ++i) {
        if (!layout_.isPrescribed(static_cast<int>(i))) continue;
        TARV_PETSC(VecSetValue(u, i, s.u[i], INSERT_VALUES));
        TARV_PETSC(VecSetValue(v, i, s.v[i], INSERT_VALUES));
        TARV_PETSC(VecSetValue(a, i, s.a[i], INSERT_VALUES));
    }
    for (Vec x : {u, v, a}) {
        TARV_PETSC(VecAssemblyBegin(x));
        TARV_PETSC(VecAssemblyEnd(x));
    }
}

}  // namespace tarvsolv
