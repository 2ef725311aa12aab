#pragma once
// A failure that ends the run: its message goes to the run log and standard error, its exit code
// tells a caller which stage failed.
#include <stdexcept>
#include <string>

namespace velgrin {

enum class ExitCode : int {
    Success = 0,
    BadInput = 1,     // the solver input file is missing, unreadable or damaged
    BadModel = 2,     // the STEP model is missing, unreadable or cannot be meshed
    WriteFailed = 3,  // the mesh or companion file could not be written
    Internal = 4,     // anything unexpected
};

class VelgrinError : public std::runtime_error {
  public:
    VelgrinError(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ExitCode code() const { return code_; }

  private:
    ExitCode code_;
};

}  // namespace velgrin
