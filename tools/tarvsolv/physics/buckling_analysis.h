#pragma once
// Linear buckling: the prestress of the loadcase's loads, the geometric stiffness of that
// prestress, and the lowest load factors of the generalised eigenproblem (K + lambda Kg) x = 0.
#include <string>

#include <petscmat.h>

#include "io/result_sink.h"
#include "physics/job.h"
#include "physics/structural_setup.h"

namespace tarvsolv {

// Hands the load factors (mode 1 first) and the shape of each mode to `results`.
// Throws std::runtime_error when the loads compress nothing, so that no load factor exists.
// `temperatures`, when given, are every node's, solved in this run: they load the prestress as a
// `t` load's would.
void solveBuckling(const Job& job, RunLog& log, ResultSink& results,
                   const std::vector<double>* temperatures = nullptr);

// Adds to `k`, the stiffness natural frequencies assembled on the pattern of `modes` (their set-up),
// the geometric stiffness of the prestress that the loads and `temperatures` give (solved as
// buckling solves its prestress), so that the modes are those about that state. A model free to
// move has no prestress its supports would set: nothing is added, with a warning. Answers whether
// the prestress was added.
bool addPrestressStiffness(const Job& job, StructuralSetup& modes, const std::vector<double>& temperatures,
                           Mat k, RunLog& log);

}  // namespace tarvsolv
