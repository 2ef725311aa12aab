#pragma once
// What the whole add-on library shares while it is loaded: the host's root, the add-on interface,
// the current part session, the length units and the folders of the current project.
#include <string>

#include "host/addon_interfaces.h"
#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

class CKolvaneInterface;

namespace addon {

struct LibraryState {
    platform::RefPtr<host::IQDRoot> hostRoot;
    // The add-on interface, owned by the host's references; cleared when it is destroyed.
    CKolvaneInterface* addOnInterface = nullptr;
    host::IQuarnelAddOn* handedToHost = nullptr;
    platform::RefPtr<host::IQDPartSession> currentPartSession;

    // Taken from the host's units each time an explorer shows its window.
    double lengthScale = 1.0;
    std::string unitText = "mm";

    // Folders of the current project (set when an explorer shows its window).
    std::string projectsRoot;
    std::string projectFolder;
    std::string jobBasePath;
    std::string meshFile;
    // Written by the solver input writer: the solver input and the result file it started.
    std::string solverInputFile;
    std::string resultFile;

    // The toolbox's "Pop-out" check box: results in their own window instead of the host view.
    bool popOutResults = false;
    // Set by the first command the toolbox starts; the solve dialog's EXIT then only closes it.
    bool startedFromToolbox = false;
};

LibraryState& library();

// Forgets everything (the library is unloaded, or a test starts afresh).
void resetLibrary();

}  // namespace addon
