#pragma once
// Linear buckling: the prestress of the loadcase's loads, the geometric stiffness of that
// prestress, and the lowest load factors of the generalised eigenproblem (K + lambda Kg) x = 0.
#include <string>

#include "io/result_sink.h"
#include "physics/job.h"

namespace tarvsolv {

// Hands the load factors (mode 1 first) and the shape of each mode to `results`.
// Throws std::runtime_error when the loads compress nothing, so that no load factor exists.
// `temperatures`, when given, are every node's, solved in this run: they load the prestress as a
// `t` load's would.
void solveBuckling(const Job& job, RunLog& log, ResultSink& results,
                   const std::vector<double>* temperatures = nullptr);

}  // namespace tarvsolv
