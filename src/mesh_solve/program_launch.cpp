#include "mesh_solve/program_launch.h"

#include <filesystem>

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

namespace {

// A second run of the same program on the same loadcase would write the same files at once.
bool stillRunning(RunProgram which, const RunJob& job) {
    programRuns().poll();  // a run that has ended meanwhile does not count
    if (!programRuns().running(which, job.jobBasePath)) return false;
    ui::showMessage(std::string(which == RunProgram::Solver ? "The solver" : "The mesher") +
                    " still runs on " + job.loadcase + ": wait for its end");
    return true;
}

}  // namespace

LaunchResult launchProgram(RunProgram which, const std::string& program, const std::string& solverInput,
                           const RunJob& job) {
    if (!platform::pathExists(program)) return LaunchResult::Missing;
    // The command line has no escape for a quote: a quote in a path would end the value early and
    // hand the rest over as further arguments, or start another program.
    for (const std::string* path : {&program, &solverInput}) {
        if (path->find('"') != std::string::npos) {
            ui::showMessage("cannot start " + program + ": the path " + *path + " holds a double quote");
            return LaunchResult::Refused;
        }
    }
    if (stillRunning(which, job)) return LaunchResult::Refused;
    // The solver writes its own log; the mesher's progress is its console, kept in a file. An old
    // solver log goes first, so that the last run's lines are not taken for this one's.
    const std::string log = ProgramRuns::logPathFor(which, job.jobBasePath);
    std::error_code ignored;
    if (which == RunProgram::Solver) std::filesystem::remove(log, ignored);
    auto started = platform::startProgram(programCommandLine(program, solverInput),
                                          which == RunProgram::Mesher ? log : std::string());
    if (!started) {
        ui::showMessage("cannot start " + program);
        return LaunchResult::NotStarted;
    }
    programRuns().follow(which, *started, job);
    return LaunchResult::Started;
}

void storeCurrentFile(const std::string& solverInput) {
    addon::writeValue(solverInput, "CurrentFile");
}

}  // namespace mesh_solve
