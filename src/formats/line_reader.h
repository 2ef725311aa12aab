#pragma once
// Reads a text file line by line through a large buffer. A line longer than the caller's limit is
// cut to the limit and the rest of it is passed over, so an overlong line never shifts the lines
// that follow it.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace results {

// Longest part of a line each kind of result-file line is read with.
inline constexpr std::size_t kHeaderLineLimit = 120;
inline constexpr std::size_t kNodeLineLimit = 119;
inline constexpr std::size_t kElementLineLimit = 252;

class LineReader {
  public:
    explicit LineReader(const std::string& path);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // The next line without its line feed, at most `limit` characters; false at the end of the file.
    // The view stays valid until the next call.
    bool next(std::string_view& line, std::size_t limit);
    // The next lines, as many as are whole in the buffer (at least one, at most `most`), each cut
    // like next(); false at the end of the file. The views stay valid until the next call.
    bool nextBatch(std::vector<std::string_view>& lines, std::size_t limit, std::size_t most);

  private:
    bool fill();

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    std::string lineCopy_;   // the kept part of a line longer than the buffer
    std::size_t begin_ = 0;  // first unread byte in buffer_
    std::size_t end_ = 0;    // one past the last valid byte
    bool eof_ = false;
};

}  // namespace results
