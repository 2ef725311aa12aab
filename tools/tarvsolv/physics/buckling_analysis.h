#pragma once
// Linear buckling: the prestress of the loadcase's loads, the geometric stiffness of that
// prestress, and the lowest load factors of the generalised eigenproblem (K + lambda Kg) x = 0.
#include <string>

#include "physics/job.h"

namespace tarvsolv {

// Answers the "NATU" block of the load factors (mode 1 first) and one "EIGE" block per mode.
// Throws std::runtime_error when the loads compress nothing, so that no load factor exists.
std::string solveBuckling(const Job& job, RunLog& log);

}  // namespace tarvsolv
