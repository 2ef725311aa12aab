#pragma once
// What the whole add-on library shares while it is loaded: the host's root, the add-on interface,
// the current part session, the length units and the projects' root folder.
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

    // The root folder of all projects (set when an explorer shows its window); each session's
    // loadcase document keeps its own project folder and paths.
    std::string projectsRoot;

    // The toolbox's "Pop-out" check box: results in their own window instead of the host view.
    bool popOutResults = false;
    // Set by the first command the toolbox starts; the solve dialog's EXIT then only closes it.
    bool startedFromToolbox = false;
};

LibraryState& library();

// Forgets everything (the library is unloaded, or a test starts afresh).
void resetLibrary();

}  // namespace addon
