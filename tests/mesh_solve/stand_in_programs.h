#pragma once
// Stand-ins for the mesher and the solver: small shell scripts in a scratch install folder that
// write down the arguments they were started with. The add-on does not wait for its programs, so a
// test waits for the record to appear.
#include <chrono>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/scratch_folder.h"

class StandInPrograms {
  public:
    explicit StandInPrograms(std::string installFolder) : folder_(std::move(installFolder)) {
        std::filesystem::create_directories(folder_);
    }

    const std::string& folder() const { return folder_; }
    std::string path(const std::string& program) const { return folder_ + "/" + program; }

    // Writes `program` as a script that records one argument a line, then "END"; the record is
    // moved into place whole so that a test never reads half of it.
    void install(const std::string& program) const {
        write(program,
              "{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; echo END; } > \"$0.args.part\"\n"
              "mv \"$0.args.part\" \"$0.args\"\n");
    }
    // Writes `program` as a shell script of `body`; answers its path.
    std::string write(const std::string& program, const std::string& body) const {
        const std::string file = path(program);
        writeFile(file, "#!/bin/sh\n" + body);
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
        return file;
    }
    void remove(const std::string& program) const { std::filesystem::remove(path(program)); }

    // The arguments `program` was started with, once it has written them; nothing when it was not
    // started within `patience`.
    std::optional<std::vector<std::string>> arguments(
        const std::string& program, std::chrono::milliseconds patience = std::chrono::seconds(10)) const {
        const std::string record = path(program) + ".args";
        const auto until = std::chrono::steady_clock::now() + patience;
        while (!std::filesystem::exists(record)) {
            if (std::chrono::steady_clock::now() > until) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::vector<std::string> args;
        std::istringstream lines(readFile(record));
        for (std::string line; std::getline(lines, line);) args.push_back(line);
        std::filesystem::remove(record);
        return args;
    }
    // True when `program` was not started: waits a little, as a started program needs time too.
    bool notStarted(const std::string& program) const {
        return !arguments(program, std::chrono::milliseconds(300)).has_value();
    }

  private:
    std::string folder_;
};
