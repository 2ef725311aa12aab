#pragma once
// The add-on's settings as an installation leaves them: its key, the install folder, the projects
// root and the default solver choice. The add-on only reads these values; the installer
// (kolvane-register) and the stand-in host's `install` / `projects` script verbs write them.
#include <string>

namespace installation {

// Creates the add-on's key and stores the install folder; a solver choice is stored too when none
// is there yet, so that the Solve dialog of a fresh installation finds one. False when a value
// cannot be written.
bool registerInstallFolder(const std::string& folder);

// Creates the add-on's key and stores the root folder of all projects. False on a failed write.
bool registerProjectsRoot(const std::string& folder);

// Whether a "Projects" value is stored (an earlier installation, or the person's choice).
bool hasProjectsRoot();

// The projects root a fresh installation registers: "FEMprojects" in the documents folder, where
// the add-on itself puts projects when the value is empty.
std::string defaultProjectsRoot();

// Stores how many processes the started solver runs itself on ("SolverProcesses") and the MPI host
// file of a cluster ("SolverHostFile"; empty: every process on this machine). False on a failed
// write.
bool registerSolverProcesses(int processes, const std::string& hostFile);

}  // namespace installation
