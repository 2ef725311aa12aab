#pragma once
// A file that the processes of a run write together, each its own pieces at their offsets, by
// MPI-IO, so that it works alike on one machine and on a cluster's shared file system. As
// replaceFile does for one writer, it goes through a temporary file beside the old one, renamed
// over it only once every process has written its pieces.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarvsolv {

struct FilePiece {
    std::uint64_t offset = 0;  // in bytes from the start of the file
    std::string_view bytes;
};

// Writes every process's `pieces` to "<path>.part", which the first process renames to `path` once
// every process has written its own. Collective over `comm`. When it fails on any process, every
// process throws std::runtime_error with the lowest failing process's message, `path` stays as it
// was and the temporary file is removed. The pieces of all processes together must cover the file
// from 0 to its end without overlapping. Many pieces (a share scattered over the file), ascending
// on each process, are first sent on so that each process writes one contiguous range of the
// file; a few are written where they are, one write each.
void replaceFileTogether(const std::string& path, std::span<const FilePiece> pieces, MPI_Comm comm);

}  // namespace tarvsolv
