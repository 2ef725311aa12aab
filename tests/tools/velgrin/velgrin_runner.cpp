#include "velgrin_runner.h"

#include <sys/wait.h>

#include <cstdlib>

#include "formats/solver_input.h"
#include "support/scratch_folder.h"

namespace velgrin_test {

std::string solverInputText(const InputText& input) {
    std::vector<std::string> settings;
    if (!input.settings.empty()) settings.push_back(input.settings);
    return formats::solverInputText(
        {{"HEADER", {"0.001 " + input.unit + " scale=1 nod=10 elem=0 ana=" + std::to_string(input.analysis)}},
         {"MODEL", {input.stepPath}},
         {"MFILE", {input.meshPath}},
         {"TABLES", {" table1"}},
         {"MSET", settings},
         {"MATERIALS", {"1 steel"}},
         {"ESIZE", input.localSizes},
         {"LOADS", {"bol 3 1 10"}},
         {"RESTRAINTS", {"bor 1 0 0 0"}},
         {"CONSTRAINTS", {}}});
}

RunResult runVelgrin(const std::string& inputPath, const std::string& sizeField) {
    const std::string out = inputPath + ".stdout", err = inputPath + ".stderr";
    const std::string extra = sizeField.empty() ? "" : " --size-field \"" + sizeField + "\"";
    const std::string command = std::string("\"") + VELGRIN_PROGRAM + "\" \"" + inputPath + "\" \"0\"" +
                                extra + " >\"" + out + "\" 2>\"" + err + "\"";
    const int status = std::system(command.c_str());
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(out);
    result.err = readFile(err);
    std::string log = inputPath;
    if (log.size() > 4 && log.substr(log.size() - 4) == ".txt") log.resize(log.size() - 4);
    result.log = readFile(log + ".log");
    return result;
}

}  // namespace velgrin_test
