#include "formats/line_reader.h"

#include <cstring>

namespace results {
namespace {
constexpr std::size_t kBufferSize = 4 << 20;
}

LineReader::LineReader(const std::string& path)
    : file_(std::fopen(path.c_str(), "rb")), buffer_(kBufferSize) {}

LineReader::~LineReader() {
    if (file_) std::fclose(file_);
}

// Moves the unread bytes to the front and reads more behind them; false when nothing more came.
bool LineReader::fill() {
    if (eof_ || !file_) return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0) eof_ = true;
    end_ += got;
    return got > 0;
}

bool LineReader::next(std::string_view& line, std::size_t limit) {
    if (!file_) return false;
    bool cut = false;
    for (;;) {
        const char* start = buffer_.data() + begin_;
        const auto* nl = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
        if (nl != nullptr) {
            const std::size_t length = static_cast<std::size_t>(nl - start);
            begin_ += length + 1;
            if (cut) return true;  // the kept part was handed out before the buffer was refilled
            line = std::string_view(start, length < limit ? length : limit);
            return true;
        }
        if (end_ - begin_ == buffer_.size()) {
            // A line longer than the whole buffer: keep its first `limit` characters, drop the rest.
            if (!cut) {
                lineCopy_.assign(start, limit < buffer_.size() ? limit : buffer_.size());
                line = lineCopy_;
                cut = true;
            }
            begin_ = end_;
        }
        if (!fill()) {
            if (cut) return true;
            if (end_ == begin_) return false;
            const std::size_t length = end_ - begin_;
            line = std::string_view(buffer_.data() + begin_, length < limit ? length : limit);
            begin_ = end_;
            return true;
        }
    }
}

bool LineReader::nextBatch(std::vector<std::string_view>& lines, std::size_t limit, std::size_t most) {
    lines.clear();
    if (!file_ || most == 0) return false;
    while (lines.size() < most) {
        const char* start = buffer_.data() + begin_;
        const auto* nl = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
        if (nl == nullptr) break;  // the rest needs a refill, which would move the lines handed out
        const std::size_t length = static_cast<std::size_t>(nl - start);
        begin_ += length + 1;
        lines.emplace_back(start, length < limit ? length : limit);
    }
    if (!lines.empty()) return true;
    std::string_view line;
    if (!next(line, limit)) return false;
    lines.push_back(line);
    return true;
}

}  // namespace results
