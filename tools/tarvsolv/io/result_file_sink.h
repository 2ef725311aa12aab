#pragma once
// The result file as a sink: the preamble the add-on started, then the blocks of every step in the
// order they come, written in one go (through a temporary file) once the run is over.
#include <span>
#include <string>

#include "io/result_file.h"
#include "io/result_sink.h"

namespace tarvsolv {

class ResultFileSink : public ResultSink {
  public:
    ResultFileSink(std::string path, ResultPreamble preamble)
        : path_(std::move(path)), preamble_(std::move(preamble)) {}

    void modeValues(std::span<const double> values) override;
    void step(const StepResult& step) override;

    // Whether any block came (a run that stops before its first step leaves the old file alone).
    bool empty() const { return blocks_.empty(); }
    // Throws std::runtime_error when the file cannot be written (the old file stays).
    void write() const { writeResultFile(path_, preamble_, blocks_); }

  private:
    std::string path_;
    ResultPreamble preamble_;
    std::string blocks_;
};

}  // namespace tarvsolv
