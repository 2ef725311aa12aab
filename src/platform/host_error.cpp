#include "platform/host_error.h"

#include <cstdio>

namespace platform {

namespace {
std::string describe(Status status, InterfaceId failing) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
    return std::string(failing.name) + " failed with status " + code;
}
}  // namespace

HostError::HostError(Status status, InterfaceId failing)
    : std::runtime_error(describe(status, failing)), status_(status), interface_(failing.name) {}

}  // namespace platform
