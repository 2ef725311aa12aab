#pragma once
// One scripted session of the host, headless or in the GUI: the script's lines run against the
// host with the add-on loaded, the add-on unloaded at the end, and the outcome printed as a person
// reading the terminal expects ("script finished", "stopped at ...", or FILE:LINE: the failure).
#include <ostream>
#include <string>

#include "program/host_application.h"
#include "program/script_runner.h"

namespace hostapp {

struct ScriptSession {
    std::string scriptPath;
    std::string addOnPath;
    ScriptOptions options;
};

// Reads and runs the script; answers the program's exit status (0 when it ran to its end or to a
// stop-if-message, 1 on a failing line, 2 when the script cannot be read).
int runScriptSession(HostApplication& app, ui::HeadlessPrompts& prompts, const ScriptSession& session,
                     std::ostream& out);

}  // namespace hostapp
