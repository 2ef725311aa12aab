#include "platform/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sstream>

namespace platform {

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false;
    bool haveArg = false;
    for (char c : commandLine) {
        if (c == '"') {
            inQuotes = !inQuotes;
            haveArg = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (haveArg) args.push_back(std::move(current));
            current.clear();
            haveArg = false;
        } else {
            current.push_back(c);
            haveArg = true;
        }
    }
    if (haveArg) args.push_back(std::move(current));
    return args;
}

namespace {

// Runs in the grandchild: replaces the process image, or reports errno through `reportFd`.
// Only async-signal-safe calls here: the caller (a host with several threads) forked us, so the
// argument vector is built before the fork and nothing allocates.
[[noreturn]] void execOrReport(char* const* argv, int reportFd) {
    const int devnull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (devnull >= 0) ::dup2(devnull, STDIN_FILENO);
    ::execv(argv[0], argv);
    const int err = errno;
    [[maybe_unused]] auto n = ::write(reportFd, &err, sizeof err);
    ::_exit(127);
}

}  // namespace

bool startDetached(const std::string& commandLine) {
    const auto args = splitCommandLine(commandLine);
    if (args.empty() || args[0].empty()) return false;
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        // The middle process starts the program in a new session and leaves at once, so the
        // program is adopted by init and never waited for by us.
        ::close(report[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) execOrReport(argv.data(), report[1]);
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    ::close(report[1]);
    int status = 0;
    pid_t waited;
    do {
        waited = ::waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    int execError = 0;
    ssize_t got;
    do {
        got = ::read(report[0], &execError, sizeof execError);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    // A host that ignores SIGCHLD leaves nothing to wait for (ECHILD): the pipe still tells.
    const bool middleOk = waited < 0 || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return middleOk && got == 0;  // the pipe closes unread when exec succeeded
}

namespace {

// Reads what the child reported through `fd` before exec: 0 when exec succeeded (the pipe closed
// unread), else the errno of the failure.
int execErrorFrom(int fd) {
    int execError = 0;
    ssize_t got;
    do {
        got = ::read(fd, &execError, sizeof execError);
    } while (got < 0 && errno == EINTR);
    ::close(fd);
    return got == 0 ? 0 : (execError != 0 ? execError : EIO);
}

void reap(pid_t child) {
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

std::optional<StartedProgram> startProgram(const std::string& commandLine, const std::string& outputPath) {
    const auto args = splitCommandLine(commandLine);
    if (args.empty() || args[0].empty()) return std::nullopt;
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const char* output = outputPath.empty() ? nullptr : outputPath.c_str();
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid();  // the host's terminal signals (Ctrl+C) do not reach the program
        if (output != nullptr) {
            const int fd = ::open(output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd >= 0) {
                ::dup2(fd, STDOUT_FILENO);
                ::dup2(fd, STDERR_FILENO);
            }
        }
        execOrReport(argv.data(), report[1]);
    }
    ::close(report[1]);
    if (execErrorFrom(report[0]) != 0) {
        reap(child);
        return std::nullopt;
    }
    return StartedProgram(child);
}

std::optional<ProgramEnd> StartedProgram::poll() {
    if (end_) return end_;
    int status = 0;
    pid_t got;
    do {
        got = ::waitpid(pid_, &status, WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == 0) return std::nullopt;
    if (got == pid_ && WIFEXITED(status)) {
        end_ = ProgramEnd{ProgramEnd::Kind::Exited, WEXITSTATUS(status)};
    } else if (got == pid_ && WIFSIGNALED(status)) {
        end_ = ProgramEnd{ProgramEnd::Kind::Signalled, WTERMSIG(status)};
    } else if (got < 0 && ::kill(pid_, 0) == 0) {
        return std::nullopt;  // not ours to wait for, but still there
    } else {
        end_ = ProgramEnd{};  // reaped by the system: ended, how is not known
    }
    return end_;
}

bool programOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::stringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty()) continue;
        if (::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    }
    return false;
}

}  // namespace platform
