#pragma once
// Turns the current loadcase and the host's geometry into the solver input file (job base path +
// ".txt") and starts the result file (job base path + ".out"). The mesh command calls it without
// solve values, the solve command with the seven values of its dialog.
#include <array>
#include <optional>

class CShowUICommand;

namespace loadcase {

using SolveValues = std::array<double, 7>;

// 0 when the files were written (or the solver input could not be created); 1 when writing was
// refused ("Assign a Material first", "Create a Mesh first") or the host's bodies could not be read.
// Other host failures throw HostError for the calling command to report.
int writeSolverInput(CShowUICommand& explorer, const std::optional<SolveValues>& values);

// The header analysis code of a solve index: 0, 2, 3 -> 0; 1 -> -1; 4 -> 3; 5 -> 5; 6 -> 1; 7 -> 2.
int headerCodeForSolveIndex(int solveIndex);

}  // namespace loadcase
