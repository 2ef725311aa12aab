#pragma once
// The files an earlier run left in a results folder that this run's would be taken with: VTK
// grids, pieces and step files of names this writer writes, which the new files do not replace.
// Each is removed once the new files are in place; a file of such a name that is another job's
// (its result file beside it) stays, and one that cannot be removed stays with a warning in the log.
#include <string>
#include <vector>

#include "io/run_log.h"

namespace tarvsolv {

// Removes `path`; a file that is not there is no failure, one that stays is named in `log`.
void removeStaleFile(const std::string& path, RunLog& log);

// Removes the pieces "<base>_p<k>.vtu", k >= `count`, beside the grid `base` just written.
void removeStalePieces(const std::string& base, int count, const std::string& resultPath, RunLog& log);

// Removes the step files of `stem` ("<stem>_<n>.vtu", ".pvtu", "<stem>_<n>_p<k>.vtu") of every step
// number not in `written` (ascending).
void removeStaleSteps(const std::string& stem, const std::vector<int>& written, const std::string& resultPath,
                      RunLog& log);

}  // namespace tarvsolv
