#pragma once
// Folders the platform knows: the user's documents folder and the programs folder.
#include <string>

namespace platform {

// KOLVANE_DOCUMENTS_DIR if set; else the XDG documents folder (user-dirs.dirs), else $HOME/Documents.
std::string documentsFolder();

// KOLVANE_PROGRAM_FILES_DIR if set; else the folder programs are installed under ("/opt").
// It stands where the add-on looks for the 32-bit program-files folder.
std::string programFilesFolder();

// KOLVANE_CONFIG_DIR if set; else $XDG_CONFIG_HOME/kolvane, else $HOME/.config/kolvane.
std::string configFolder();

}  // namespace platform
