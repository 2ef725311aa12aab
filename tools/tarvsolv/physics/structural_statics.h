#pragma once
// The linear static system of a structural model, shared by statics and by the prestress of
// buckling: the temperatures the loads name, the material of each element, and the assembly of
// the stiffness and the load vector.
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "fem/element_kernels.h"
#include "fem/matrix_pattern.h"
#include "fem/system_assembler.h"
#include "io/result_sink.h"
#include "physics/job.h"

namespace tarvsolv {

// Temperatures of another loadcase and the reference temperature, when the loads name them.
struct TemperatureField {
    std::vector<double> nodal;  // empty: no temperature load
    double reference = 0;

    double atElement(const FeMesh& mesh, int e) const {
        if (nodal.empty()) return reference;
        const auto nodes = mesh.elementNodes(e);
        return 0.25 * (nodal[nodes[0]] + nodal[nodes[1]] + nodal[nodes[2]] + nodal[nodes[3]]);
    }
    std::vector<double> changes(const FeMesh& mesh, int e) const {
        std::vector<double> dT;
        if (nodal.empty()) return dT;
        for (int n : mesh.elementNodes(e)) dT.push_back(nodal[n] - reference);
        return dT;
    }
};

// Reads the temperatures a `t` load names (none: an empty field at the initial temperature).
TemperatureField temperatureField(const Job& job, RunLog& log);
// The temperatures of every node solved in this run, against the initial temperature.
TemperatureField heatedField(const Job& job, const std::vector<double>& temperatures, RunLog& log);
// The elastic material of element `e` at its temperature.
ElasticMaterial elementMaterial(const Job& job, const TemperatureField& temperatures, int e);
// Body force per volume at `time` from the accelerations and spins, without the density; empty
// when the model has none.
std::function<Vec3(const Vec3&)> accelerationField(const Job& job, double time = 1);
// Adds to `fe` (3 per element node, sized by the caller) the loads of element `e` of material `m`:
// the body force of `acceleration` (when given) and, with `thermal`, the load of the thermal strains
// of `temperatures` (when the field has nodal values).
void addElementLoads(const Job& job, int e, const ElasticMaterial& m,
                     const std::function<Vec3(const Vec3&)>& acceleration,
                     const TemperatureField& temperatures, bool thermal, std::vector<double>& fe);
// Adds to `f` the element loads of every element this process assembles: body forces of the
// accelerations and spins at `time` (densities at `temperatures`) and, with `thermal`, the thermal
// strains' loads.
void assembleBodyLoads(const Job& job, const DofLayout& layout, const TemperatureField& temperatures,
                       bool thermal, Vec f, double time = 1);
// Assembles the stiffness `k` (from `pattern`) and the loads `f` of every load the static solve
// knows, the thermal strains those of `temperatures`.
void assembleStaticSystem(const Job& job, const MatrixPattern& pattern, const TemperatureField& temperatures,
                          Mat k, Vec f, RunLog& log);
// Assembles the elastic stiffness `k` (from `pattern`) of the elements this process assembles,
// without loads, and lets `extra` add further terms to the same assembly (the springs of held
// contact).
void assembleStiffness(const Job& job, const MatrixPattern& pattern, const TemperatureField& temperatures,
                       Mat k, const std::function<void(SystemAssembler&)>& extra = {});
// Face, edge and point loads with their values at `time` (1 in a static step), added by the first
// process; `pressures` false leaves out the pressures (a large-displacement run has them follow the
// faces).
void assembleBoundaryLoads(const Job& job, const DofLayout& layout, Vec f, RunLog& log, double time = 1,
                           bool pressures = true);

// The stresses at the four corners of every element, four per element, with the corners' 1-based
// node numbers as the result file lists them.
struct CornerResults {
    std::vector<std::int32_t> nodes;
    std::vector<Stress6> stresses;
};
CornerResults elementStresses(const Job& job, const TemperatureField& temperatures,
                              const std::vector<double>& u);
// The same of `elements`, in their order.
CornerResults elementStresses(const Job& job, const TemperatureField& temperatures,
                              const std::vector<double>& u, std::span<const int> elements);
// The same on the first process (empty elsewhere), each process of `comm` evaluating its share of
// the elements (fem/model_share.h); `u` is given in full on every process.
CornerResults elementStressesOnFirst(const Job& job, const TemperatureField& temperatures,
                                     const std::vector<double>& u, MPI_Comm comm);

// The displacements (global axes) and corner stresses of a step, as the result sinks take them.
StepResult displacementResult(int number, double time, std::vector<double> u, CornerResults corners);

// Hands the mode shapes (the layout's unknowns, made global in place) on as "EIGE" 1, 2, ..., each
// scaled so that its largest component is 1; `annotate` (when given) adds to each mode's step.
void handModeShapes(const DofLayout& layout, std::vector<std::vector<double>>& shapes, ResultSink& results,
                    const std::function<void(StepResult&)>& annotate = {});

}  // namespace tarvsolv
