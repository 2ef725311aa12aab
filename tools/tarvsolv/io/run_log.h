#pragma once
// Progress of a solver run: printed on the console and kept in the job's ".slog" file, each line
// with the seconds since the start. Only the first process writes.
#include <chrono>
#include <fstream>
#include <string>

namespace tarvsolv {

class RunLog {
  public:
    // `path` empty: console only. `echo` false: file only.
    RunLog(const std::string& path, bool echo, bool writer);
    void line(const std::string& text);
    void warning(const std::string& text) { line("warning: " + text); }
    double seconds() const;

  private:
    std::ofstream file_;
    bool echo_;
    bool writer_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace tarvsolv
