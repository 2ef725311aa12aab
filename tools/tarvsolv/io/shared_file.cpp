#include "io/shared_file.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <stdexcept>

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
