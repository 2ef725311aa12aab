#pragma once
// Runs the velgrin program as the add-on starts it, on solver inputs written by hand into a
// temporary folder, and reads back what it leaves.
#include <filesystem>
#include <string>
#include <vector>

namespace velgrin_test {

// A fresh folder under the system's temporary folder, removed with its contents at destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string path(const std::string& name) const { return (root_ / name).string(); }

private:
    std::filesystem::path root_;
};

struct InputText {
    std::string unit = "mm";
    std::string stepPath;
    std::string meshPath;
    std::string settings = " 8 0 0.5 0.25 0 2 2 3 3 1 0";  // the MSET line; empty leaves the section empty
    std::vector<std::string> localSizes;                   // ESIZE lines
    int nodesPerElement = 10;
};

// The solver input as the add-on writes it, including the sections the mesher passes over.
std::string solverInputText(const InputText& input);

void writeText(const std::string& path, const std::string& text);
std::string readText(const std::string& path);

struct RunResult {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
    std::string log;  // the run log beside the input
};

// Runs `velgrin "<inputPath>" "0"` and waits for it.
RunResult runVelgrin(const std::string& inputPath);

}  // namespace velgrin_test
