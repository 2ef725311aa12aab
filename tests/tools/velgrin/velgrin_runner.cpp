#include "velgrin_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velgrin_test {

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    root_ = std::filesystem::temp_directory_path() /
            ("velgrin-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

std::string solverInputText(const InputText& input) {
    std::ostringstream text;
    text << "HEADER\n0.001 " << input.unit << " scale=1 nod=" << input.nodesPerElement << " elem=0 ana=0\n";
    text << "MODEL\n" << input.stepPath << "\nMFILE\n" << input.meshPath << "\n";
    text << "TABLES\n table1\nMSET\n";
    if (!input.settings.empty()) text << input.settings << "\n";
    text << "MATERIALS\n1 steel\nESIZE\n";
    for (const auto& line : input.localSizes) text << line << "\n";
    text << "LOADS\nbol 3 1 10\nRESTRAINTS\nbor 1 0 0 0\nCONSTRAINTS\n";
    return text.str();
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

RunResult runVelgrin(const std::string& inputPath) {
    const std::string out = inputPath + ".stdout", err = inputPath + ".stderr";
    const std::string command = std::string("\"") + VELGRIN_PROGRAM + "\" \"" + inputPath + "\" \"0\" >\"" + out +
                                "\" 2>\"" + err + "\"";
    const int status = std::system(command.c_str());
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readText(out);
    result.err = readText(err);
    std::string log = inputPath;
    if (log.size() > 4 && log.substr(log.size() - 4) == ".txt") log.resize(log.size() - 4);
    result.log = readText(log + ".log");
    return result;
}

}  // namespace velgrin_test
