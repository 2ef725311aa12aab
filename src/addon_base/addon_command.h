#pragma once
// The command object every interactive step shares: the host drives it through the command
// callbacks, it owns one modeless dialog, and it ends through its command site.
#include <memory>
#include <string>

#include "addon_base/command_owner.h"
#include "host/addon_interfaces.h"
#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"
#include "ui/dialog.h"

class CAddOnCommand : public platform::ImplementsDispatch<host::IQuarnelAddOnCommand> {
  public:
    // The class name the messages show ("CLoadcaseCommand").
    virtual std::string className() const = 0;

    // Creates the dialog window, fills it and shows it.
    virtual void Start() = 0;

    // EXIT in the dialog: the site stops picking, clears its status, ends the command; the host
    // then calls OnTerminate.
    void ExitCommand();

    addon::CommandOwner* owner() const { return owner_; }
    host::IQDCommandSite* site() const { return site_.get(); }
    ui::Dialog* dialog() const { return dialog_.get(); }

    // ---- IQuarnelAddOnCommand: default answers ----
    platform::Status putref_CommandSite(platform::IUnknown* site) override;
    platform::Status get_CommandSite(host::IQDCommandSite** site) override;
    platform::Status get_IsPersistent(platform::VariantBool* answer) override;
    platform::Status get_HasPanel(platform::VariantBool* answer) override;
    platform::Status OnShowUI(ui::Window* window) override;
    platform::Status OnDrawOverlay(render::Canvas* canvas) override;
    platform::Status OnMouseDown(std::int32_t, std::int32_t, std::int32_t,
                                 platform::VariantBool* handled) override;
    platform::Status OnMouseUp(std::int32_t, std::int32_t, std::int32_t,
                               platform::VariantBool* handled) override;
    platform::Status OnMouseMove(std::int32_t, std::int32_t, std::int32_t,
                                 platform::VariantBool* handled) override;
    platform::Status OnDoubleClick(std::int32_t, std::int32_t, platform::VariantBool* handled) override;
    platform::Status OnMouseWheel(std::int32_t, std::int32_t, platform::VariantBool* handled) override;
    platform::Status OnSelectionChanged() override;
    platform::Status OnTerminate() override;
    platform::Status OnRedraw() override;
    platform::Status OnKeyDown(std::int32_t, platform::VariantBool* handled) override;
    platform::Status OnKeyUp(std::int32_t, platform::VariantBool* handled) override;
    platform::Status OnCharacter(std::int32_t, platform::VariantBool* handled) override;
    platform::Status OnIdle(platform::VariantBool* moreWork) override;
    platform::Status OnViewChanged() override;
    platform::Status OnResume() override;
    platform::Status On3DRender() override;

  protected:
    explicit CAddOnCommand(addon::CommandOwner* owner) : owner_(owner) {}
    ~CAddOnCommand() override;

    // Takes over the dialog object (the start routine makes it).
    void setDialog(std::unique_ptr<ui::Dialog> dialog) { dialog_ = std::move(dialog); }
    // Asks the site to redraw the view now (the model-definition commands' redraw request).
    void requestRedraw();
    // The steps of OnTerminate, without the failure handling around them.
    virtual void terminate();

  private:
    addon::CommandOwner* owner_;
    std::unique_ptr<ui::Dialog> dialog_;
    platform::RefPtr<host::IQDCommandSite> site_;
};

// Writes `value` to an out boolean; a null pointer is the host's mistake and answers E_POINTER.
platform::Status answerBool(platform::VariantBool* out, bool value);
