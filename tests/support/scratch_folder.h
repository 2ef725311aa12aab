#pragma once
// A fresh folder under the system's temporary folder (or under `root`), removed with everything in
// it at scope end.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

class ScratchFolder {
  public:
    explicit ScratchFolder(const std::filesystem::path& root = std::filesystem::temp_directory_path()) {
        std::string pattern = (root / "kolvane-lc-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

    // Number of entries in the folder.
    std::size_t count() const {
        auto it = std::filesystem::directory_iterator(path_);
        return static_cast<std::size_t>(std::distance(it, std::filesystem::directory_iterator{}));
    }

  private:
    std::string path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

// Bytes as a file holds them, read as text.
inline std::string asText(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}
