#pragma once
// A command that does nothing: no panel, not persistent, every event left unhandled. Tests that
// need a command of their own derive from it and override only the calls they watch.
#include "host/addon_interfaces.h"
#include "platform/unknown.h"

namespace testhost {

class CommandStub : public platform::ImplementsDispatch<host::IQuarnelAddOnCommand> {
  public:
    using Status = platform::Status;
    using VariantBool = platform::VariantBool;

    Status putref_CommandSite(platform::IUnknown*) override { return platform::kOk; }
    Status get_CommandSite(host::IQDCommandSite** site) override {
        if (site != nullptr) *site = nullptr;
        return platform::kOk;
    }
    Status get_IsPersistent(VariantBool* answer) override { return no(answer); }
    Status get_HasPanel(VariantBool* answer) override { return no(answer); }
    Status OnShowUI(ui::Window*) override { return platform::kOk; }
    Status OnDrawOverlay(render::Canvas*) override { return platform::kOk; }
    Status OnMouseDown(std::int32_t, std::int32_t, std::int32_t, VariantBool* h) override { return no(h); }
    Status OnMouseUp(std::int32_t, std::int32_t, std::int32_t, VariantBool* h) override { return no(h); }
    Status OnMouseMove(std::int32_t, std::int32_t, std::int32_t, VariantBool* h) override { return no(h); }
    Status OnDoubleClick(std::int32_t, std::int32_t, VariantBool* h) override { return no(h); }
    Status OnMouseWheel(std::int32_t, std::int32_t, VariantBool* h) override { return no(h); }
    Status OnSelectionChanged() override { return platform::kOk; }
    Status OnTerminate() override { return platform::kOk; }
    Status OnRedraw() override { return platform::kOk; }
    Status OnKeyDown(std::int32_t, VariantBool* h) override { return no(h); }
    Status OnKeyUp(std::int32_t, VariantBool* h) override { return no(h); }
    Status OnCharacter(std::int32_t, VariantBool* h) override { return no(h); }
    Status OnIdle(VariantBool* h) override { return no(h); }
    Status OnViewChanged() override { return platform::kOk; }
    Status OnResume() override { return platform::kFalse; }
    Status On3DRender() override { return platform::kOk; }

  protected:
    static Status no(VariantBool* answer) {
        if (answer != nullptr) *answer = platform::kVariantFalse;
        return platform::kOk;
    }
};

}  // namespace testhost
