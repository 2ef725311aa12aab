// The four functions the host calls, exported with C linkage.
#include <new>

#include "addon/entry_points.h"
#include "addon/kolvane_app.h"
#include "addon/kolvane_interface.h"
#include "addon_base/library_state.h"
#include "host/addon_entry.h"
#include "host/host_interfaces.h"
#include "mesh_solve/program_runs.h"

#define KOLVANE_EXPORT extern "C" __attribute__((visibility("default")))

using platform::RefPtr;

KOLVANE_EXPORT platform::Status AddOnLoad(void* /*window*/, platform::IUnknown* hook,
                                          std::int32_t /*reserved*/) {
    theApp();
    auto& lib = addon::library();
    lib.hostRoot = nullptr;
    if (hook == nullptr) return platform::kOk;
    RefPtr<host::IQDAddOnHook> hostHook = RefPtr<platform::IUnknown>(hook).query<host::IQDAddOnHook>();
    if (!hostHook) return platform::kOk;
    platform::IUnknown* root = nullptr;
    if (platform::failed(hostHook->GetRoot(&root)) || root == nullptr) return platform::kOk;
    lib.hostRoot = RefPtr<platform::IUnknown>::adopt(root).query<host::IQDRoot>();
    return platform::kOk;
}

KOLVANE_EXPORT host::IQuarnelAddOn* GetAddOnInterface() {
    auto& lib = addon::library();
    if (lib.addOnInterface == nullptr) {
        auto* created = new (std::nothrow) CKolvaneInterface();
        if (created == nullptr) return nullptr;
        void* out = nullptr;
        if (platform::failed(created->QueryInterface(host::IQuarnelAddOn::iid, &out))) return nullptr;
        // The library keeps a plain pointer: the object lives while the host holds a reference
        // and clears the pointer when it goes.
        lib.addOnInterface = created;
        lib.handedToHost = static_cast<host::IQuarnelAddOn*>(out);
        return lib.handedToHost;
    }
    lib.handedToHost->AddRef();
    return lib.handedToHost;
}

KOLVANE_EXPORT platform::Status AddOnUnload(void* /*window*/, std::int32_t /*flag*/, std::int32_t* answer) {
    auto& lib = addon::library();
    if (lib.addOnInterface != nullptr) lib.addOnInterface->closeAllExplorers();
    // Programs still running go on by themselves; nobody is left to show their end.
    mesh_solve::programRuns().clear();
    if (answer != nullptr) *answer = 0;
    return platform::kOk;
}

KOLVANE_EXPORT void AddOnInvoke() {}
