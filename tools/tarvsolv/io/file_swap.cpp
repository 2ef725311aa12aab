#include "io/file_swap.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace tarvsolv {

FileSwap::FileSwap(std::string path) : path_(std::move(path)), aside_(path_ + ".new"), old_(path_ + ".old") {}

FileSwap::~FileSwap() {
    std::remove(aside_.c_str());
    keep();
}

void FileSwap::putInPlace() {
    std::remove(old_.c_str());  // an earlier run's, left by a crash
    // The old file keeps a second name, or on a file system without hard links is moved aside.
    struct stat info {};
    hadOld_ = ::stat(path_.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
              (::link(path_.c_str(), old_.c_str()) == 0 || std::rename(path_.c_str(), old_.c_str()) == 0);
    if (std::rename(aside_.c_str(), path_.c_str()) != 0) {
        if (hadOld_ && ::access(path_.c_str(), F_OK) != 0)
            std::rename(old_.c_str(), path_.c_str());
        else if (hadOld_)
            std::remove(old_.c_str());
        hadOld_ = false;
        throw std::runtime_error("cannot replace " + path_);
    }
    placed_ = true;
}

void FileSwap::takeBack() {
    if (!placed_) return;
    if (hadOld_)
        std::rename(old_.c_str(), path_.c_str());
    else
        std::remove(path_.c_str());
    placed_ = hadOld_ = false;
}

void FileSwap::keep() {
    if (placed_ && hadOld_) std::remove(old_.c_str());
    hadOld_ = false;
}

}  // namespace tarvsolv
