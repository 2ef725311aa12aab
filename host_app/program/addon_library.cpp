#include "program/addon_library.h"

#include <dlfcn.h>

namespace hostapp {

namespace {
template <typename Fn>
Fn entryPoint(void* handle, const char* name, const std::string& path) {
    void* symbol = dlsym(handle, name);
    if (symbol == nullptr) throw HostAppError("the add-on " + path + " does not export " + name);
    return reinterpret_cast<Fn>(symbol);
}
}  // namespace

AddOnLibrary::AddOnLibrary(const std::string& path) : path_(path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        throw HostAppError("cannot load the add-on " + path + ": " + (why ? why : "unknown error"));
    }
    addOnLoad = entryPoint<host::AddOnLoadFn>(handle_, host::kAddOnLoadName, path);
    addOnUnload = entryPoint<host::AddOnUnloadFn>(handle_, host::kAddOnUnloadName, path);
    addOnInvoke = entryPoint<host::AddOnInvokeFn>(handle_, host::kAddOnInvokeName, path);
    getAddOnInterface = entryPoint<host::GetAddOnInterfaceFn>(handle_, host::kGetAddOnInterfaceName, path);
}

}  // namespace hostapp
