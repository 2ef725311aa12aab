#include "mesher_launch.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

extern char** environ;

namespace tarvsolv {

std::string mesherPath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::path(".") : self.parent_path()).append("velgrin").string();
}

MesherOutcome runMesher(const std::string& mesher, const std::string& inputPath,
                        const std::string& sizeField) {
    if (access(mesher.c_str(), X_OK) != 0) return {false, "the mesher " + mesher + " cannot be found"};
    std::vector<std::string> words{mesher, inputPath, "0", "--size-field", sizeField};
    std::vector<char*> args;
    for (std::string& word : words) args.push_back(word.data());
    args.push_back(nullptr);
    // Its console output would interleave with ours; its run log says everything.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int started = posix_spawn(&child, mesher.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0)
        return {false, "the mesher could not be started: " + std::string(std::strerror(started))};
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {true, ""};
    return {false, WIFEXITED(status)
                       ? "the mesher ended with exit code " + std::to_string(WEXITSTATUS(status))
                       : "the mesher was ended by signal " + std::to_string(WTERMSIG(status))};
}

}  // namespace tarvsolv
