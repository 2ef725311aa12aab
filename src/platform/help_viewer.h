#pragma once
// Opening the add-on's help with what the desktop has: a CHM viewer on the compiled help file, or
// else the browser on the HTML pages installed beside it.
#include <string>

namespace platform {

// Opens `helpFile` (a ".chm") at its default topic with the first CHM viewer found
// (KOLVANE_HELP_VIEWER, by path or on PATH, then kchmviewer, then xchm). Without a viewer, or
// without the file, the HTML start page "help/index.html" in the same folder is opened with the
// desktop's browser (xdg-open on PATH). When neither program or neither file is there the call
// silently does nothing. The programs are looked for once; the files on every call. The program
// is started detached and never waited for.
void openHelpFile(const std::string& helpFile);

// The HTML start page that stands beside `helpFile`: its folder + "help/index.html".
std::string helpStartPage(const std::string& helpFile);

// Forgets the programs found (tests that change PATH between calls).
void resetHelpViewerLookup();

}  // namespace platform
