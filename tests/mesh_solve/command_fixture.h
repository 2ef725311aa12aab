#pragma once
// An explorer shown for the part session Bracket, with a projects folder whose path holds a blank,
// an install folder holding stand-ins for the mesher and the solver, and the iterative solver chosen.
#include "stand_in_programs.h"
#include "support/explorer_fixture.h"

class CommandFixture : public ExplorerFixture {
  public:
    CommandFixture() {
        setSetting("Projects", scratch.file("my projects"));
        setSetting("InstallPath", programs.folder());
        setSetting("CurrentSolver", "PCG");
    }

    std::string setting(const std::string& name) const {
        return settings->readValue(platform::Hive::CurrentUser, "Software\\Tarvenic\\Tarvenic", name)
            .value_or("");
    }
    std::string inputPath() const { return explorer->document().projectFolder() + "/Bracket.txt"; }
    std::vector<std::string> expectedArguments() const { return {inputPath(), "0", "END"}; }

    StandInPrograms programs{scratch.file("install dir")};
};
