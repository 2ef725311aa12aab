#include "loadcase/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace loadcase {
namespace {

std::string failure(const std::string& what, const std::string& path, int error) {
    return what + " \"" + path + "\": " + std::strerror(error);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name next to `path` that no other writer in this process or another one uses at the same time.
std::string temporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

bool writeAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file the new contents belong to: a symbolic link is followed so that the link stays a link.
std::string resolveTarget(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) return path;
    auto target = std::filesystem::canonical(path, ec);
    return ec ? path : target.string();
}

void syncFolder(const std::string& folder) {
    // Makes the rename itself durable; failure only weakens the guarantee, so it is not reported.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

WriteResult replaceFile(const std::string& requestedPath, std::string_view contents) {
    const std::string path = resolveTarget(requestedPath);
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) return {failure("Cannot write", requestedPath, EISDIR)};
    if (exists && ::access(path.c_str(), W_OK) != 0) return {failure("Cannot write", requestedPath, errno)};

    const std::string temporary = temporaryNameFor(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return {failure("Cannot write", requestedPath, errno)};
    if (exists) ::fchmod(fd, old.st_mode & 07777);  // keep the permissions the user gave the file

    int error = 0;
    if (!writeAll(fd, contents) || ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return {failure("Cannot write", requestedPath, error)};
    }
    syncFolder(folderOf(path));
    return {};
}

std::string readWholeFile(const std::string& path, std::string& contents) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return failure("Cannot read", path, EISDIR);
    std::ifstream in(path, std::ios::binary);
    if (!in) return failure("Cannot read", path, errno != 0 ? errno : ENOENT);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return failure("Cannot read", path, EIO);
    contents = std::move(buffer).str();
    return {};
}

}  // namespace loadcase
