#pragma once
// What the mesher tells its user: progress lines (stage and percentage) on standard output, errors
// on standard error, and a summary appended to the run log that the add-on started. The add-on may
// still be writing its last lines into that log just after starting the mesher, at its own file
// position; so the mesher keeps its log lines and appends them all at once when the run ends.
#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace velgrin {

class RunLog {
  public:
    // `logPath` may be empty: then nothing is written to a file.
    explicit RunLog(std::string logPath);

    // The run log of a solver input: its path with ".txt" replaced by ".log" (or ".log" appended).
    static std::string pathFor(const std::string& inputPath);

    // Starts stage `name` at `percent` of the run; the previous stage's time is recorded.
    void stage(int percent, const std::string& name);
    // A line for the run log and standard output.
    void note(const std::string& text);
    // A failure: run log and standard error.
    void error(const std::string& text);
    // Ends the last stage and writes the time of each stage to the log and standard output.
    void timings();
    // Appends the lines kept so far to the run log (also done at destruction).
    void flush();
    ~RunLog();
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    const std::vector<std::pair<std::string, double>>& stageSeconds() const { return stageSeconds_; }

  private:
    void append(const std::string& line);
    void closeStage();

    using Clock = std::chrono::steady_clock;
    std::string logPath_;
    std::string pending_;
    Clock::time_point runStart_ = Clock::now();
    Clock::time_point stageStart_ = runStart_;
    std::string stageName_;
    std::vector<std::pair<std::string, double>> stageSeconds_;
};

}  // namespace velgrin
