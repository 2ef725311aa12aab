#pragma once
// The pieces of a heat analysis that steady and transient heat share: the conduction matrix with
// internal heat, and heat flux, convection and point heat on the boundary, with every value
// evaluated at a given time (load tables follow it) and the initial temperature.
#include "fem/matrix_pattern.h"
#include "fem/system_assembler.h"
#include "physics/job.h"

namespace tarvsolv {

// Warns about fixed directions (they mean nothing for heat) and refuses thermal loads on edges.
void checkThermalEntries(const Job& job, RunLog& log);
// Conduction of the elements this process assembles, and their internal heat, at `time`. Values
// that follow temperature take each element's mean corner temperature of `nodal` (every node's,
// global numbering) or, without it, the initial temperature.
void assembleConduction(const Job& job, const DofLayout& layout, SystemAssembler& assembler, double time,
                        const std::vector<double>* nodal = nullptr);
// Heat flux, convection and point heat at `time`; call it on the first process only. `log`, when
// given, names each load.
void assembleBoundary(const Job& job, SystemAssembler& assembler, double time, RunLog* log);
// The steady system at `time`: conduction, internal heat and the boundary loads into the matrix
// `k` (from `pattern`) and `f`, conductivities at `nodal` as assembleConduction takes them.
void assembleSteadyHeat(const Job& job, const MatrixPattern& pattern, Mat k, Vec f, double time,
                        const std::vector<double>* nodal, RunLog* log);

}  // namespace tarvsolv
