#pragma once
// Runs kolvane-host on a script in a scratch folder of its own (settings, documents, projects and
// output all inside it) and keeps what the run printed.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "sample_parts.h"
#include "support/scratch_folder.h"

struct HostRunResult {
    int status = -1;  // the program's exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

class HostRunFolder {
  public:
    std::string path(const std::string& name) const { return root_.file(name); }
    std::string projectFolder(const std::string& session) const { return path("projects/" + session); }

    // Runs `script` (the lines of a session script); `projects` and `install` lines are added first.
    HostRunResult run(const std::string& script, const std::string& name = "session.run") const {
        const std::string file = path(name);
        std::ofstream(file) << "projects " << path("projects") << "\ninstall " << path("tarvdir") << "\n"
                            << script;
        std::filesystem::create_directories(path("tarvdir"));
        return runFile(file);
    }

    // Runs the script file as it stands, with `environment` ("NAME='value' ...") in front.
    HostRunResult runFile(const std::string& file, const std::string& environment = "") const {
        const std::string command = environment + " KOLVANE_CONFIG_DIR='" + path("settings") +
                                    "' KOLVANE_DOCUMENTS_DIR='" + path("documents") +
                                    "' KOLVANE_PROGRAM_FILES_DIR='" + path("programs") + "' '" +
                                    buildFolder() + "/bin/kolvane-host' --script '" + file + "' --out '" +
                                    path("out") + "' >'" + path("stdout") + "' 2>'" + path("stderr") + "'";
        const int raw = std::system(command.c_str());
        HostRunResult result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = read(path("stdout"));
        result.err = read(path("stderr"));
        return result;
    }

    static std::string read(const std::string& file) { return readFile(file); }

  private:
    ScratchFolder root_;
};
