#pragma once
// Follows every run of the mesher and the solver the add-on starts. The commands start a program
// and return at once; the host's idle calls poll(), which reads what the program has logged since,
// shows its progress in the host's status bar and on the toolbox's label line, and, once the
// program has ended, says how: a failure or refusal as a message with the program's own reason.
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "mesh_solve/run_progress.h"
#include "platform/process.h"

namespace mesh_solve {

// The files and names of the loadcase a run works on.
struct RunJob {
    std::string jobBasePath;    // the loadcase's path stem
    std::string projectFolder;  // tells which explorer's toolbox shows it
    std::string loadcase;       // its name, as the texts show it
};

// A run as the person is shown it.
struct RunReport {
    RunProgram program = RunProgram::Solver;
    RunJob job;
    bool running = false;
    bool failed = false;
    std::string text;       // the status bar's line
    std::string labelText;  // the toolbox's shorter line
};

// Something that shows runs (the toolbox's label line).
class RunListener {
  public:
    virtual ~RunListener() = default;
    virtual void runChanged(const RunReport& report) = 0;
};

class ProgramRuns {
  public:
    // The log a program's progress is read from: the solver writes its own, the mesher's console
    // goes to a file the launch names.
    static std::string logPathFor(RunProgram program, const std::string& jobBasePath);

    // Follows `started`, a run of `program` on `job`.
    void follow(RunProgram program, platform::StartedProgram started, const RunJob& job);
    // True while a run of `program` (on `jobBasePath`, when given) is being followed.
    bool running(RunProgram program, const std::string& jobBasePath = {}) const;
    // Looks at every run once, without waiting; ended runs are reported and forgotten.
    void poll();
    // The last line shown for `program`'s runs (progress or end); empty before the first.
    std::string lastText(RunProgram program) const;
    // Why the last solve of `jobBasePath` failed; empty when it succeeded or none was seen.
    std::string lastSolveFailure(const std::string& jobBasePath) const;

    void addListener(RunListener* listener);
    void removeListener(RunListener* listener);

    // Forgets every run, leaving their programs to run on (the library is unloaded).
    void clear();

  private:
    struct Run {
        RunProgram program;
        platform::StartedProgram process;
        RunJob job;
        std::string logPath;
        std::uintmax_t logOffset = 0;
        RunProgress progress;
        std::chrono::steady_clock::time_point started;
        std::string shown;  // the text last shown, so that an unchanged one is not sent again
    };

    // Reads the complete lines the program has added to its log since the last look.
    static void readLog(Run& run);
    // The run's end: shown, and a failure said as a message.
    void finish(Run& run, const platform::ProgramEnd& end);
    void show(const RunReport& report);

    std::vector<Run> runs_;
    std::vector<RunListener*> listeners_;
    std::map<RunProgram, std::string> lastText_;
    std::map<std::string, std::string> solveFailures_;
    bool polling_ = false;
};

// The library's one follower of runs.
ProgramRuns& programRuns();

// The status bar line and the toolbox line of a run (what poll() shows).
RunReport reportFor(RunProgram program, const RunJob& job, const RunProgress& progress,
                    std::chrono::seconds elapsed);
// The line of a run that has ended: done, or failed with the program's status and reason.
RunReport endReportFor(RunProgram program, const RunJob& job, const RunProgress& progress,
                       const platform::ProgramEnd& end, std::chrono::seconds elapsed);

}  // namespace mesh_solve
