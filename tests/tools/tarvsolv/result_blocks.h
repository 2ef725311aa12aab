#pragma once
// A result file read once, with where each block starts, so that a test reading every block of a long
// time history parses the file once instead of once per block.
#include <cctype>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tarvsolv::testing {

class ResultBlocks {
  public:
    explicit ResultBlocks(std::string text) : text_(std::move(text)) {
        for (std::size_t line = 0; line < text_.size();) {
            const std::size_t end = lineEnd(line);
            if (std::isupper(static_cast<unsigned char>(text_[line]))) {
                headers_.emplace_back(text_, line, end - line);
                at_.emplace(headers_.back(), end + 1);
            }
            line = end + 1;
        }
    }

    const std::string& text() const { return text_; }
    // Block headers ("DISP 1", "STRES 1", "NATU") in file order.
    const std::vector<std::string>& headers() const { return headers_; }

    // The lines after the first header `header` up to the blank line ending its block; empty when
    // there is no such block.
    std::string_view body(const std::string& header) const {
        const auto found = at_.find(header);
        if (found == at_.end() || found->second >= text_.size()) return {};
        // From the header's own line end, so that a header followed by a blank line has no body.
        const std::size_t start = found->second, blank = text_.find("\n\n", start - 1);
        const std::size_t end = blank == std::string::npos ? text_.size() : blank + 1;
        return std::string_view(text_).substr(start, end - start);
    }

  private:
    std::size_t lineEnd(std::size_t from) const {
        const std::size_t end = text_.find('\n', from);
        return end == std::string::npos ? text_.size() : end;
    }

    std::string text_;
    std::vector<std::string> headers_;
    std::unordered_map<std::string, std::size_t> at_;  // the first block of each header
};

}  // namespace tarvsolv::testing
