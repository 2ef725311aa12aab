#include "atomic_file.h"

#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "velgrin_error.h"

namespace velgrin {

void writeAtomically(const std::string& path, const std::function<void(std::FILE*)>& write) {
    const std::string temporary = path + ".velgrin-" + std::to_string(::getpid()) + ".part";
    auto fail = [&](const std::string& what, int error) {
        std::remove(temporary.c_str());
        throw VelgrinError(ExitCode::WriteFailed,
                           "The file \"" + path + "\" " + what + ": " + std::strerror(error));
    };
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) fail("cannot be created", errno);
    write(file);
    const bool written = !std::ferror(file);
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written) fail("could not be written", written ? errno : writeError);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) fail("could not be put in place", errno);
}

}  // namespace velgrin
