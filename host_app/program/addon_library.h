#pragma once
// The add-on's shared library, opened with dlopen as the host opens any add-on, and its four
// exported entry points.
#include <stdexcept>
#include <string>

#include "host/addon_entry.h"

namespace hostapp {

class HostAppError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class AddOnLibrary {
  public:
    // Opens the library and finds the four entry points; throws HostAppError naming what failed.
    explicit AddOnLibrary(const std::string& path);
    // The library stays mapped until the program ends: objects it made may still be released
    // by the host's last references, and their code must then still be there.
    ~AddOnLibrary() = default;
    AddOnLibrary(const AddOnLibrary&) = delete;
    AddOnLibrary& operator=(const AddOnLibrary&) = delete;

    const std::string& path() const { return path_; }

    host::AddOnLoadFn addOnLoad = nullptr;
    host::AddOnUnloadFn addOnUnload = nullptr;
    host::AddOnInvokeFn addOnInvoke = nullptr;
    host::GetAddOnInterfaceFn getAddOnInterface = nullptr;

  private:
    std::string path_;
    void* handle_ = nullptr;
};

}  // namespace hostapp
