#pragma once
// Outcome of writing a file: empty error text on success.
#include <string>

namespace loadcase {

struct WriteResult {
    std::string error;  // what went wrong, naming the file; empty on success

    bool ok() const { return error.empty(); }
};

}  // namespace loadcase
