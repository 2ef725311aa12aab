#pragma once
// What the mesher's and the solver's log lines tell of a run while it goes on: how far it is, the
// time it expects to need still, and the error line that ended it.
#include <optional>
#include <string>
#include <string_view>

namespace mesh_solve {

enum class RunProgram { Mesher = 0, Solver = 1 };

struct RunProgress {
    std::optional<int> percent;
    std::string timeLeft;   // the program's own estimate, as it writes it ("1:05")
    std::string stage;      // what the mesher is doing; the solver's refinement cycle
    std::string error;      // the program's error line, without its prefix
    std::string warning;    // the solver's last warning line, without its prefix
    bool finished = false;  // the program logged its last line ("done", or the mesher's 100 %)

    // Takes one line of the program's log: the mesher's console ("velgrin  40% stage", "velgrin
    // error: ...") or the solver's ".slog" ("[ 1.20 s] step 3/10, ..., 0:12 left", "[ ...] error: ...").
    void take(RunProgram program, std::string_view line);
};

}  // namespace mesh_solve
