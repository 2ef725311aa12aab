#pragma once
// The result file as a sink: the preamble the add-on started, then the blocks of every step in the
// order they come, written in one go (through a temporary file) once the run is over. On several
// processes each process formats the lines of the share of the model it is handed (the formatting
// is most of the writing's time) and writes them into its place in the file; the first process
// writes the preamble, every block's header and end, and the mode values. An analysis that gathers
// its results on the first process leaves the others nothing to write.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <span>
#include <string>
#include <vector>

#include "io/result_file.h"
#include "io/result_sink.h"
#include "io/shared_file.h"

namespace tarvsolv {

class ResultFileSink : public ResultSink {
  public:
    // `comm`: the processes that write the file together, every one handed every step.
    ResultFileSink(std::string path, ResultPreamble preamble, MPI_Comm comm = PETSC_COMM_WORLD);

    void modeValues(std::span<const double> values) override;
    void step(const StepResult& step) override;

    // Whether no process took a block (a run that stops before its first step leaves the old file
    // alone). Collective over the sink's processes.
    bool empty() const;
    // Collective: every process writes its part. Throws std::runtime_error on every process when the
    // file cannot be written (the old file stays).
    void write() const;

  private:
    // A block's parts: the header and the end only on the first process, the lines of each
    // process's share between them in process order.
    struct Block {
        std::string head, lines, end;
    };
    void add(std::string head, std::string lines, const char* end);
    // This process's pieces of the file, placed after the parts of the processes before it.
    std::vector<FilePiece> pieces() const;

    std::string path_;
    ResultPreamble preamble_;
    MPI_Comm comm_;
    int rank_ = 0;
    std::vector<Block> blocks_;
};

}  // namespace tarvsolv
