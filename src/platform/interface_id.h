#pragma once
// Identity of an interface. Interfaces are told apart by a name that is unique in the program;
// the name is also what an error report shows as the failing interface.
#include <string_view>

namespace platform {

struct InterfaceId {
    std::string_view name;
    friend constexpr bool operator==(InterfaceId a, InterfaceId b) { return a.name == b.name; }
};

}  // namespace platform

// Declares the static id of an interface class: `static constexpr platform::InterfaceId iid{"IName"}`.
#define KOLVANE_INTERFACE_ID(Name)                 \
    static constexpr ::platform::InterfaceId iid { \
#Name                                      \
    }
