#pragma once
// Starting external programs from a command line, without waiting for them.
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Splits a command line into arguments: blanks separate arguments, double quotes group blanks
// into one argument and are removed ("\"a b\" c" -> {"a b", "c"}).
std::vector<std::string> splitCommandLine(const std::string& commandLine);

// Starts the program named by the first argument of `commandLine` as a detached process (its own
// session, not waited for, no zombie left). True when the program was started; false when it
// could not be executed (missing, not executable) or the line is empty.
bool startDetached(const std::string& commandLine);

// How a started program ended: its exit status, the signal that ended it, or nothing known (a host
// that ignores SIGCHLD has the system reap its children, and their status is lost).
struct ProgramEnd {
    enum class Kind { Exited, Signalled, Unknown };
    Kind kind = Kind::Unknown;
    int code = 0;  // the exit status or the signal number
    bool succeeded() const { return kind == Kind::Exited && code == 0; }
};

// A program started by startProgram. It runs on by itself; poll() looks at it without waiting and,
// once it has ended, collects its status (until then the system keeps it as a child of ours).
class StartedProgram {
  public:
    explicit StartedProgram(int pid) : pid_(pid) {}
    int pid() const { return pid_; }
    // The program's end once it has ended; nothing while it runs. Asked again after the end, it
    // answers the same end.
    std::optional<ProgramEnd> poll();

  private:
    int pid_;
    std::optional<ProgramEnd> end_;
};

// Starts the program named by the first argument of `commandLine` in its own session, not waited
// for. When `outputPath` is given, the program's standard output and error go to that file
// (created afresh). Nothing when the program could not be executed or the line is empty.
std::optional<StartedProgram> startProgram(const std::string& commandLine,
                                           const std::string& outputPath = {});

// True when an executable named `program` is found in the folders of PATH.
bool programOnPath(const std::string& program);

}  // namespace platform
