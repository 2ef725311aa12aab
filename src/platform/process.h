#pragma once
// Starting external programs from a command line, without waiting for them.
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

// True when an executable named `program` is found in the folders of PATH.
bool programOnPath(const std::string& program);

}  // namespace platform
