#pragma once
// The host with its windows: the main window on a part, or a script run in the real windows.
#include <string>

#include "program/script_session.h"

namespace hostapp::gui {

// True when an X display can be opened (DISPLAY is set and answers).
bool displayAvailable();

// Runs the GUI until the main window closes: the add-on loaded, `part` opened when given, and
// `session`'s script, when it names one, carried out by real input on the real windows (the
// window then closes by itself). Answers the program's exit status.
int runGui(int argc, char** argv, const ScriptSession& session, const std::string& part);

}  // namespace hostapp::gui
