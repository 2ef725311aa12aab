#pragma once
// Opening the add-on's compiled help file with the desktop's help viewer.
#include <string>

namespace platform {

// Opens `helpFile` at its default topic with the first help viewer found on PATH
// (KOLVANE_HELP_VIEWER, then kchmviewer, then xchm). When none is found the call silently does
// nothing, and later calls do not look again.
void openHelpFile(const std::string& helpFile);

// Forgets that no viewer was found (tests that change PATH between calls).
void resetHelpViewerLookup();

}  // namespace platform
