#include "io/shared_file.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/agree_on_failure.h"

namespace tarvsolv {
namespace {

// Writes `piece` at its offset, in parts that an int counts; false when any part falls short.
bool writePiece(MPI_File file, const FilePiece& piece) {
    constexpr std::size_t kMostAtOnce = std::size_t{1} << 30;
    for (std::size_t done = 0; done < piece.bytes.size();) {
        const int count = static_cast<int>(std::min(kMostAtOnce, piece.bytes.size() - done));
        MPI_Status status;
        if (MPI_File_write_at(file, static_cast<MPI_Offset>(piece.offset + done), piece.bytes.data() + done,
                              count, MPI_BYTE, &status) != MPI_SUCCESS)
            return false;
        int written = 0;
        MPI_Get_count(&status, MPI_BYTE, &written);
        if (written != count) return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

// One contiguous range of the file and its bytes.
struct FileRange {
    std::uint64_t offset = 0;
    std::string bytes;
};

// Whether the processes' pieces are better sent on than written where they are: a share scattered
// over the file is tens of thousands of short pieces, which MPI-IO writes far slower (collective
// or not) than each process one contiguous range. Only when the pieces ascend on every process and
// the exchange's counts fit MPI's ints; `size` takes the file's size. The same answer on every
// process.
bool scattered(std::span<const FilePiece> pieces, MPI_Comm comm, std::uint64_t& size) {
    int processes = 1;
    MPI_Comm_size(comm, &processes);
    unsigned long long mine[4] = {0, 0, 0, 0};  // pieces, bytes, the end, 1 when they do not ascend
    for (const FilePiece& piece : pieces) {
        if (piece.bytes.empty()) continue;
        if (piece.offset < mine[2]) mine[3] = 1;
        mine[0] += 1, mine[1] += piece.bytes.size(), mine[2] = piece.offset + piece.bytes.size();
    }
    unsigned long long sum[4], most[4];
    MPI_Allreduce(mine, sum, 4, MPI_UNSIGNED_LONG_LONG, MPI_SUM, comm);
    MPI_Allreduce(mine, most, 4, MPI_UNSIGNED_LONG_LONG, MPI_MAX, comm);
    size = most[2];
    constexpr unsigned long long kFewPiecesPerProcess = 64;
    return processes > 1 && sum[0] > kFewPiecesPerProcess * static_cast<unsigned>(processes) &&
           most[3] == 0 && most[1] <= INT_MAX && size / static_cast<unsigned>(processes) < INT_MAX - 1;
}

// Sends every process's pieces to the processes whose equal range of the file's `size` bytes holds
// them, and answers this process's range. Collective; the pieces must ascend. Everything it
// allocates is allocated before the exchange that needs it, and each exchange follows a meeting
// (failingTogether): a process that runs short of memory fails every process.
FileRange intoRanges(std::span<const FilePiece> pieces, std::uint64_t size, MPI_Comm comm) {
    int rank = 0, processes = 1;
    MPI_Comm_rank(comm, &rank);
    MPI_Comm_size(comm, &processes);
    const auto P = static_cast<std::size_t>(processes);
    const auto first = [&](std::size_t p) { return size / P * p + std::min<std::uint64_t>(p, size % P); };
    // The pieces cut at the ranges' bounds, in order of their process: the bytes and (offset,
    // length) of each part.
    std::string bytes;
    std::vector<std::uint64_t> parts;
    std::vector<int> byteCounts(P, 0), partCounts(P, 0);
    std::size_t to = 0;
    for (const FilePiece& piece : pieces)
        for (std::uint64_t at = piece.offset, end = piece.offset + piece.bytes.size(); at < end;) {
            while (to + 1 < P && first(to + 1) <= at) ++to;
            const std::uint64_t stop = to + 1 < P ? std::min(end, first(to + 1)) : end;
            bytes.append(piece.bytes.substr(at - piece.offset, stop - at));
            parts.insert(parts.end(), {at, stop - at});
            byteCounts[to] += static_cast<int>(stop - at);
            partCounts[to] += 2;
            at = stop;
        }
    std::vector<int> byteCountsIn(P), partCountsIn(P);
    meetFailures(comm);
    MPI_Alltoall(byteCounts.data(), 1, MPI_INT, byteCountsIn.data(), 1, MPI_INT, comm);
    MPI_Alltoall(partCounts.data(), 1, MPI_INT, partCountsIn.data(), 1, MPI_INT, comm);
    const auto startsOf = [](const std::vector<int>& counts) {
        std::vector<int> starts(counts.size(), 0);
        for (std::size_t p = 1; p < counts.size(); ++p) starts[p] = starts[p - 1] + counts[p - 1];
        return starts;
    };
    const std::vector<int> byteStarts = startsOf(byteCounts), partStarts = startsOf(partCounts);
    const std::vector<int> byteStartsIn = startsOf(byteCountsIn), partStartsIn = startsOf(partCountsIn);
    std::vector<std::uint64_t> partsIn(static_cast<std::size_t>(partStartsIn.back() + partCountsIn.back()));
    std::vector<char> bytesIn(static_cast<std::size_t>(byteStartsIn.back() + byteCountsIn.back()));
    const auto r = static_cast<std::size_t>(rank);
    FileRange range{first(r), std::string(first(r + 1) - first(r), '\0')};
    meetFailures(comm);
    MPI_Alltoallv(parts.data(), partCounts.data(), partStarts.data(), MPI_UINT64_T, partsIn.data(),
                  partCountsIn.data(), partStartsIn.data(), MPI_UINT64_T, comm);
    MPI_Alltoallv(bytes.data(), byteCounts.data(), byteStarts.data(), MPI_CHAR, bytesIn.data(),
                  byteCountsIn.data(), byteStartsIn.data(), MPI_CHAR, comm);
    std::string().swap(bytes);
    std::size_t from = 0;
    for (std::size_t k = 0; k + 1 < partsIn.size(); k += 2) {
        const std::uint64_t at = partsIn[k] - range.offset, length = partsIn[k + 1];
        if (at + length <= range.bytes.size() && from + length <= bytesIn.size())
            std::copy_n(bytesIn.begin() + static_cast<std::ptrdiff_t>(from), length,
                        range.bytes.begin() + static_cast<std::ptrdiff_t>(at));
        from += length;
    }
    return range;
}

}  // namespace

void replaceFileTogether(const std::string& path, std::span<const FilePiece> pieces, MPI_Comm comm) {
    const std::string temporary = path + ".part";
    int rank = 0;
    MPI_Comm_rank(comm, &rank);
    const auto removeTemporary = [&] {
        if (rank == 0) std::remove(temporary.c_str());
    };
    // A temporary file an earlier run left would keep its tail beyond a shorter new file's end. The
    // processes meet before they create the new one: the caller's formatting of the pieces may have
    // failed on one of them (failingTogether).
    removeTemporary();
    meetFailures(comm);
    // The open is collective, and the MPI libraries agree on its outcome; the files' error handler
    // answers errors (MPI_ERRORS_RETURN) instead of aborting the run.
    MPI_File file = MPI_FILE_NULL;
    const int opened =
        MPI_File_open(comm, temporary.c_str(), MPI_MODE_CREATE | MPI_MODE_WRONLY, MPI_INFO_NULL, &file);
    try {
        agreeOnFailure(comm, [&] {
            if (opened != MPI_SUCCESS) throw std::runtime_error("cannot create " + temporary);
        });
    } catch (...) {
        removeTemporary();
        throw;
    }
    bool wrote = true;
    try {
        failingTogether(comm, [&] {
            std::uint64_t size = 0;
            if (scattered(pieces, comm, size)) {
                const FileRange range = intoRanges(pieces, size, comm);
                wrote = writePiece(file, {range.offset, range.bytes});
            } else {
                for (const FilePiece& piece : pieces) wrote = wrote && writePiece(file, piece);
            }
        });
    } catch (...) {
        MPI_File_close(&file);  // collective: the failure is every process's
        removeTemporary();
        throw;
    }
    const int closed = MPI_File_close(&file);
    try {
        agreeOnFailure(comm, [&] {
            if (!wrote || closed != MPI_SUCCESS)
                throw std::runtime_error("cannot write " + temporary + " (disk full?)");
        });
        agreeOnFailure(comm, [&] {
            if (rank == 0 && std::rename(temporary.c_str(), path.c_str()) != 0)
                throw std::runtime_error("cannot replace " + path);
        });
    } catch (...) {
        removeTemporary();
        throw;
    }
}

}  // namespace tarvsolv
