#include "velgrin_runner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "support/scratch_folder.h"

namespace velgrin_test {

std::string solverInputText(const InputText& input) {
    std::ostringstream text;
    text << "HEADER\n0.001 " << input.unit << " scale=1 nod=10 elem=0 ana=0\n";
    text << "MODEL\n" << input.stepPath << "\nMFILE\n" << input.meshPath << "\n";
    text << "TABLES\n table1\nMSET\n";
    if (!input.settings.empty()) text << input.settings << "\n";
    text << "MATERIALS\n1 steel\nESIZE\n";
    for (const auto& line : input.localSizes) text << line << "\n";
    text << "LOADS\nbol 3 1 10\nRESTRAINTS\nbor 1 0 0 0\nCONSTRAINTS\n";
    return text.str();
}

RunResult runVelgrin(const std::string& inputPath) {
    const std::string out = inputPath + ".stdout", err = inputPath + ".stderr";
    const std::string command = std::string("\"") + VELGRIN_PROGRAM + "\" \"" + inputPath + "\" \"0\" >\"" + out +
                                "\" 2>\"" + err + "\"";
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
