#include "io/result_file_sink.h"

#include <stdexcept>

namespace tarvsolv {

ResultFileSink::ResultFileSink(std::string path, ResultPreamble preamble, MPI_Comm comm)
    : path_(std::move(path)), preamble_(std::move(preamble)), comm_(comm) {
    MPI_Comm_rank(comm_, &rank_);
}

void ResultFileSink::add(std::string head, std::string lines, const char* end) {
    const bool first = rank_ == 0;
    blocks_.push_back({first ? std::move(head) : std::string(), std::move(lines), first ? end : ""});
}

void ResultFileSink::modeValues(std::span<const double> values) {
    add(results::modeValueBlock(values), "", "");
}

void ResultFileSink::step(const StepResult& step) {
    for (const NodeField& field : step.nodeFields) {
        const NodeQuantityInfo info = nodeQuantityInfo(field.quantity);
        add(results::blockHeader(info.keyword, step.number),
            info.width == 3 ? results::nodeVectorLines(field.values, step.firstNode)
                            : results::nodeScalarLines(field.values, step.firstNode),
            results::kBlockEnd);
    }
    const CornerFields& corners = step.corners;
    if (!corners.stresses.empty())
        add(results::stressHeader(step.number),
            results::stressLines(corners.nodes, corners.stresses, step.firstElement), results::kBlockEnd);
    if (!corners.plasticStrains.empty())
        add(results::plasticStrainHeader(step.number),
            results::plasticStrainLines(corners.nodes, corners.plasticStrains, step.firstElement),
            results::kBlockEnd);
}

bool ResultFileSink::empty() const {
    unsigned long long mine = blocks_.size(), most = 0;
    MPI_Allreduce(&mine, &most, 1, MPI_UNSIGNED_LONG_LONG, MPI_MAX, comm_);
    return most == 0;
}

std::vector<FilePiece> ResultFileSink::pieces() const {
    int size = 1;
    MPI_Comm_size(comm_, &size);
    // Every process holds the first process's blocks, or none (a step only the first was handed).
    const unsigned long long mine = blocks_.size();
    std::vector<unsigned long long> counts(static_cast<std::size_t>(size));
    MPI_Allgather(&mine, 1, MPI_UNSIGNED_LONG_LONG, counts.data(), 1, MPI_UNSIGNED_LONG_LONG, comm_);
    const std::size_t count = counts.front();
    for (int p = 1; p < size; ++p)
        if (counts[p] != 0 && counts[p] != count)
            throw std::runtime_error("the result file cannot be written: process " + std::to_string(p + 1) +
                                     " holds " + std::to_string(counts[p]) + " result blocks, the first " +
                                     std::to_string(count));
    // The sizes of the first process's parts (the preamble, then each block's head and end), and
    // of the lines of the processes before this one and of all of them, block by block.
    std::vector<unsigned long long> frame(1 + 2 * count), lines(count, 0), before(count, 0), all(count, 0);
    if (rank_ == 0) {
        frame[0] = preamble_.text.size();
        for (std::size_t k = 0; k < count; ++k)
            frame[1 + 2 * k] = blocks_[k].head.size(), frame[2 + 2 * k] = blocks_[k].end.size();
    }
    for (std::size_t k = 0; k < blocks_.size(); ++k) lines[k] = blocks_[k].lines.size();
    const int n = static_cast<int>(count);
    MPI_Bcast(frame.data(), n * 2 + 1, MPI_UNSIGNED_LONG_LONG, 0, comm_);
    MPI_Exscan(lines.data(), before.data(), n, MPI_UNSIGNED_LONG_LONG, MPI_SUM, comm_);
    MPI_Allreduce(lines.data(), all.data(), n, MPI_UNSIGNED_LONG_LONG, MPI_SUM, comm_);
    if (rank_ == 0) std::fill(before.begin(), before.end(), 0ULL);  // MPI_Exscan leaves it undefined

    std::vector<FilePiece> out;
    const auto put = [&out](unsigned long long at, const std::string& bytes) {
        if (!bytes.empty()) out.push_back({at, bytes});
    };
    unsigned long long at = frame[0];
    if (rank_ == 0) put(0, preamble_.text);
    for (std::size_t k = 0; k < count; ++k) {
        const unsigned long long head = frame[1 + 2 * k], end = frame[2 + 2 * k];
        if (k < blocks_.size()) {
            put(at, blocks_[k].head);
            put(at + head + before[k], blocks_[k].lines);
            put(at + head + all[k], blocks_[k].end);
        }
        at += head + all[k] + end;
    }
    return out;
}

void ResultFileSink::write() const {
    replaceFileTogether(path_, pieces(), comm_);
}

}  // namespace tarvsolv
