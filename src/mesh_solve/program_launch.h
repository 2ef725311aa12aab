#pragma once
// Starting the mesher and the solver on a solver input file. Both programs lie in the install
// folder; they are started in their own session and never waited for. Every run is followed from
// the host's idle (program_runs.h), which shows its progress and how it ended.
#include <string>

#include "mesh_solve/program_runs.h"

namespace mesh_solve {

inline constexpr const char* kMesherProgram = "velgrin";
inline constexpr const char* kSolverProgram = "tarvsolv";

// The install folder followed by the program's file name.
std::string programPath(const std::string& installFolder, const char* program);
// The two programs in the install folder the settings name (or its default).
std::string mesherPath();
std::string solverPath();

// The line both programs are started with: program, solver input and the number 0, each in
// double quotes, one blank between. The line is as long as its paths need: long project paths
// are common here, and a line cut at a fixed length would name a file that does not exist.
std::string programCommandLine(const std::string& program, const std::string& solverInput);

enum class LaunchResult {
    Started,
    Missing,     // no program file: the caller decides whether that is worth a message
    Refused,     // a path holds a double quote, which the command line cannot carry, or the same
                 // program still runs on the loadcase (message shown)
    NotStarted,  // the file is there but could not be run (message shown)
};

// Starts `program` (the mesher or the solver, as `which` says) on `solverInput` when the program
// file exists, and follows the run on `job`; does not wait.
LaunchResult launchProgram(RunProgram which, const std::string& program, const std::string& solverInput,
                           const RunJob& job);

// Stores the solver input path as the "CurrentFile" setting.
void storeCurrentFile(const std::string& solverInput);

}  // namespace mesh_solve
