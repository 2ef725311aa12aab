#include "io/run_log.h"

#include <cstdio>

namespace tarvsolv {

RunLog::RunLog(const std::string& path, bool echo, bool writer)
    : echo_(echo), writer_(writer), start_(std::chrono::steady_clock::now()) {
    if (writer_ && !path.empty()) file_.open(path, std::ios::trunc);
}

double RunLog::seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void RunLog::line(const std::string& text) {
    if (!writer_) return;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%8.2f s] ", seconds());
    if (echo_) {
        std::printf("%s%s\n", stamp, text.c_str());
        std::fflush(stdout);
    }
    if (file_) file_ << stamp << text << '\n' << std::flush;
}

}  // namespace tarvsolv
