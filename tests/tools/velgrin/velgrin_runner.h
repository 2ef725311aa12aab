#pragma once
// Runs the velgrin program as the add-on starts it, on solver inputs written by hand, and reads back
// what it leaves.
#include <string>
#include <vector>

namespace velgrin_test {

struct InputText {
    std::string unit = "mm";
    std::string stepPath{};
    std::string meshPath{};
    std::string settings = " 8 0 0.5 0.25 0 2 2 3 3 1 0";  // the MSET line; empty leaves the section empty
    std::vector<std::string> localSizes{};                 // ESIZE lines
    int analysis = 0;                                      // the header's ana= code
};

// The solver input as the add-on writes it, including the sections the mesher passes over.
std::string solverInputText(const InputText& input);

struct RunResult {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
    std::string log;  // the run log beside the input
};

// Runs `velgrin "<inputPath>" "0"`, followed by `sizeField` as "--size-field <file>" when given,
// and waits for it.
RunResult runVelgrin(const std::string& inputPath, const std::string& sizeField = "");

}  // namespace velgrin_test
