#pragma once
// The four functions an add-on library exports with C linkage, as the host calls them.
#include <cstdint>

#include "host/addon_interfaces.h"

namespace host {

// The add-on takes the host's root object from `hook`; `window` and `reserved` are not used.
using AddOnLoadFn = platform::Status (*)(void* window, platform::IUnknown* hook, std::int32_t reserved);
// Closes what the add-on has open; `answer` is set to 0.
using AddOnUnloadFn = platform::Status (*)(void* window, std::int32_t flag, std::int32_t* answer);
using AddOnInvokeFn = void (*)();
// The add-on's IQuarnelAddOn with one reference for the caller; null when it cannot be made.
using GetAddOnInterfaceFn = IQuarnelAddOn* (*)();

inline constexpr const char* kAddOnLoadName = "AddOnLoad";
inline constexpr const char* kAddOnUnloadName = "AddOnUnload";
inline constexpr const char* kAddOnInvokeName = "AddOnInvoke";
inline constexpr const char* kGetAddOnInterfaceName = "GetAddOnInterface";

}  // namespace host
