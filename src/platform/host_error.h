#pragma once
// The error a failing host operation turns into: it carries the status and the failing interface.
#include <stdexcept>
#include <string>

#include "platform/interface_id.h"
#include "platform/status.h"

namespace platform {

class HostError : public std::runtime_error {
  public:
    HostError(Status status, InterfaceId failing);
    Status status() const { return status_; }
    std::string_view interfaceName() const { return interface_; }

  private:
    Status status_;
    std::string_view interface_;
};

// Throws HostError when `status` is a failure reported by interface `failing`.
inline void check(Status status, InterfaceId failing) {
    if (failed(status)) throw HostError(status, failing);
}

// Throws HostError(invalid pointer) when a required object is missing.
template <typename P>
void require(const P& object, InterfaceId failing) {
    if (!object) throw HostError(kInvalidPointer, failing);
}

}  // namespace platform
