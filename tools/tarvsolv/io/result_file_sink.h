#pragma once
// The result file as a sink: the preamble the add-on started, then the blocks of every step in the
// order they come, written in one go (through a temporary file) once the run is over. On several
// processes each process formats the lines of the share of the model it is handed (the formatting
// is most of the writing's time) and writes them at their places in the file, which lists the
// nodes and elements in ascending order whichever process holds them: a share's items are
// scattered over the file, so the processes sum every item's byte length in one array over the
// model to know where each line goes. The first process writes the preamble, every block's header
// and end, and the mode values. An analysis that gathers its results on the first process leaves
// the others nothing to write.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <memory>
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
    // A block's parts: the header and the end only on the first process, the lines of every
    // process's share between them. `items`: the share's nodes or elements, `linesPerItem` lines
    // each, of a model of `itemCount`; none: the lines of the whole model, or none.
    struct Block {
        std::string head, lines, end;
        const std::vector<int>* items = nullptr;
        int itemCount = 0, linesPerItem = 1;
    };
    void add(std::string head, std::string lines, const char* end, const std::vector<int>* items = nullptr,
             int itemCount = 0, int linesPerItem = 1);
    // This process's pieces of the file: the parts of the processes before it go first in a block of
    // whole lines, a block of shares in the order of its items.
    std::vector<FilePiece> pieces() const;
    // The pieces of this process's runs of consecutive items of a shared block of `count` items
    // whose lines start at `at`; `total` takes the lines' size over all processes. Collective.
    void placeShare(const Block& block, std::size_t count, unsigned long long at, unsigned long long& total,
                    std::vector<FilePiece>& out) const;

    std::string path_;
    ResultPreamble preamble_;
    MPI_Comm comm_;
    int rank_ = 0;
    std::vector<Block> blocks_;
    std::vector<std::shared_ptr<const ModelShare>> shares_;  // the blocks' items
};

}  // namespace tarvsolv
