#include "io/shared_file.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <stdexcept>
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

// Writes every process's `pieces` in one collective MPI_File_write_at_all: a share scattered over
// the file is many short pieces, which one call per piece would write a system call at a time.
// The file view is an hindexed type of the pieces' offsets, the buffer one of their addresses.
// False when any part falls short. Collective; the pieces must ascend and must not overlap.
bool writeTogether(MPI_File file, std::span<const FilePiece> pieces) {
    std::vector<int> lengths;
    std::vector<MPI_Aint> offsets, addresses;
    for (const FilePiece& piece : pieces) {
        if (piece.bytes.empty()) continue;
        lengths.push_back(static_cast<int>(piece.bytes.size()));
        offsets.push_back(static_cast<MPI_Aint>(piece.offset));
        MPI_Aint address = 0;
        MPI_Get_address(piece.bytes.data(), &address);
        addresses.push_back(address);
    }
    const auto count = static_cast<int>(lengths.size());
    MPI_Datatype inFile = MPI_BYTE, inMemory = MPI_BYTE;
    if (count > 0) {
        MPI_Type_create_hindexed(count, lengths.data(), offsets.data(), MPI_BYTE, &inFile);
        MPI_Type_create_hindexed(count, lengths.data(), addresses.data(), MPI_BYTE, &inMemory);
        MPI_Type_commit(&inFile);
        MPI_Type_commit(&inMemory);
    }
    bool wrote = MPI_File_set_view(file, 0, MPI_BYTE, inFile, "native", MPI_INFO_NULL) == MPI_SUCCESS;
    MPI_Status status;
    wrote = MPI_File_write_at_all(file, 0, count > 0 ? MPI_BOTTOM : nullptr, count > 0 ? 1 : 0, inMemory,
                                  &status) == MPI_SUCCESS &&
            wrote;
    int written = 0;
    if (wrote && count > 0) MPI_Get_count(&status, inMemory, &written);
    if (count > 0) {
        MPI_Type_free(&inFile);
        MPI_Type_free(&inMemory);
        wrote = wrote && written == 1;
    }
    return wrote;
}

// Whether every process's pieces fit one collective write: int lengths, a total an int counts,
// ascending and apart. The same answer on every process.
bool fitTogether(std::span<const FilePiece> pieces, MPI_Comm comm) {
    unsigned long long total = 0, end = 0;
    int fit = 1;
    for (const FilePiece& piece : pieces) {
        if (piece.bytes.empty()) continue;
        fit = fit && piece.offset >= end;
        end = piece.offset + piece.bytes.size();
        total += piece.bytes.size();
    }
    fit = fit && total <= INT_MAX;
    int all = 0;
    MPI_Allreduce(&fit, &all, 1, MPI_INT, MPI_MIN, comm);
    return all != 0;
}

}  // namespace

void replaceFileTogether(const std::string& path, std::span<const FilePiece> pieces, MPI_Comm comm) {
    const std::string temporary = path + ".part";
    int rank = 0;
    MPI_Comm_rank(comm, &rank);
    const auto removeTemporary = [&] {
        if (rank == 0) std::remove(temporary.c_str());
    };
    // A temporary file an earlier run left would keep its tail beyond a shorter new file's end.
    removeTemporary();
    MPI_Barrier(comm);
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
    if (fitTogether(pieces, comm))
        wrote = writeTogether(file, pieces);
    else
        for (const FilePiece& piece : pieces) wrote = wrote && writePiece(file, piece);
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
