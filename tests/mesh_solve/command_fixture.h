#pragma once
// An explorer shown for the part session Bracket, with a projects folder whose path holds a blank,
// an install folder holding stand-ins for the mesher and the solver, and the iterative solver chosen.
#include "mesh_solve/program_runs.h"
#include "stand_in_programs.h"
#include "support/explorer_fixture.h"

class CommandFixture : public ExplorerFixture {
  public:
    CommandFixture() {
        setSetting("Projects", scratch.file("my projects"));
        setSetting("InstallPath", programs.folder());
        setSetting("CurrentSolver", "PCG");
    }
    ~CommandFixture() { mesh_solve::programRuns().clear(); }

    // Polls the runs as the host's idle does until `done` holds; false when it does not within
    // `patience`.
    template <typename Done>
    static bool pollUntil(Done done, std::chrono::milliseconds patience = std::chrono::seconds(10)) {
        const auto until = std::chrono::steady_clock::now() + patience;
        for (;;) {
            mesh_solve::programRuns().poll();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    // Polls until none of `program` is followed.
    static bool pollUntilEnded(mesh_solve::RunProgram program) {
        return pollUntil([&] { return !mesh_solve::programRuns().running(program); });
    }

    std::string setting(const std::string& name) const {
        return settings->readValue(platform::Hive::CurrentUser, "Software\\Tarvenic\\Tarvenic", name)
            .value_or("");
    }
    std::string inputPath() const { return explorer->document().projectFolder() + "/Bracket.txt"; }
    std::vector<std::string> expectedArguments() const { return {inputPath(), "0", "END"}; }

    StandInPrograms programs{scratch.file("install dir")};
};
