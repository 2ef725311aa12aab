#pragma once
// The four exported functions, for callers linked with the add-on's objects (tests).
#include <cstdint>

#include "host/addon_interfaces.h"

extern "C" {
platform::Status AddOnLoad(void* window, platform::IUnknown* hook, std::int32_t reserved);
platform::Status AddOnUnload(void* window, std::int32_t flag, std::int32_t* answer);
void AddOnInvoke();
host::IQuarnelAddOn* GetAddOnInterface();
}
