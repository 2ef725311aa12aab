#pragma once
// Runs the mesher from the solver's own folder (the install folder, where the add-on keeps both
// programs) on a solver input, with a refinement's size field, and waits for it.
#include <string>

namespace tarvsolv {

// The mesher beside this program: its folder + "/velgrin".
std::string mesherPath();

struct MesherOutcome {
    bool meshed = false;
    std::string reason;  // why not, for the log
};

// Runs `<mesher> "<input>" "0" --size-field "<sizeField>"`; its progress goes to its own run log.
MesherOutcome runMesher(const std::string& mesher, const std::string& inputPath,
                        const std::string& sizeField);

}  // namespace tarvsolv
