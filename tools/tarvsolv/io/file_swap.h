#pragma once
// A file written beside the one it replaces and put in its place only when every file of a set is
// written, so that a set of files (the pieces of a VTK grid, one per process) is replaced whole or
// not at all: a piece that cannot be written or put in place leaves every old piece where it was.
#include <string>

namespace tarvsolv {

class FileSwap {
  public:
    explicit FileSwap(std::string path);
    // Removes what is left beside the file: the new one when it never took the old one's place, the
    // old one once the new one did and was kept.
    ~FileSwap();
    FileSwap(const FileSwap&) = delete;
    FileSwap& operator=(const FileSwap&) = delete;

    // Where the new file is written.
    const std::string& aside() const { return aside_; }
    // Puts the new file in the old one's place, the old one kept beside it; throws
    // std::runtime_error naming the file when it cannot, with the old file in its place.
    void putInPlace();
    // Undoes putInPlace: the old file back in its place, or the new one gone when there was none.
    void takeBack();
    // Keeps the new file: the old one goes.
    void keep();

  private:
    std::string path_, aside_, old_;
    bool placed_ = false, hadOld_ = false;
};

}  // namespace tarvsolv
