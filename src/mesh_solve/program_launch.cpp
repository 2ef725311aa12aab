#include "mesh_solve/program_launch.h"

#include "addon_base/settings.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "ui/prompts.h"

namespace mesh_solve {

std::string programPath(const std::string& installFolder, const char* program) {
    return platform::joinPath(installFolder, program);
}

std::string mesherPath() {
    return programPath(addon::readInstallFolder(), kMesherProgram);
}

std::string solverPath() {
    return programPath(addon::readInstallFolder(), kSolverProgram);
}

std::string programCommandLine(const std::string& program, const std::string& solverInput) {
    return "\"" + program + "\" \"" + solverInput + "\" \"0\"";
}

LaunchResult launchProgram(const std::string& program, const std::string& solverInput) {
    if (!platform::pathExists(program)) return LaunchResult::Missing;
    // The command line has no escape for a quote: a quote in a path would end the value early and
    // hand the rest over as further arguments, or start another program.
    for (const std::string* path : {&program, &solverInput}) {
        if (path->find('"') != std::string::npos) {
            ui::showMessage("cannot start " + program + ": the path " + *path + " holds a double quote");
            return LaunchResult::Refused;
        }
    }
    if (!platform::startDetached(programCommandLine(program, solverInput))) {
        ui::showMessage("cannot start " + program);
        return LaunchResult::NotStarted;
    }
    return LaunchResult::Started;
}

void storeCurrentFile(const std::string& solverInput) {
    addon::writeValue(solverInput, "CurrentFile");
}

}  // namespace mesh_solve
