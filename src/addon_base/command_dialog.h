#pragma once
// The window of one add-on command: it keeps its command, Enter does not close it, and its EXIT
// button, Escape and the close box end the command (through the guard, so a failure is reported
// to the user instead of reaching the host).
#include <utility>

#include "addon_base/guarded_call.h"
#include "ui/dialog.h"

namespace addon {

template <class Command>
class CommandDialog : public ui::Dialog {
  public:
    // No EXIT button: a panel such as the toolbox.
    static constexpr int kNoExitButton = -1;

    // Ends the command; a dialog whose command may outlive it overrides this.
    virtual void OnExit() {
        guardedCall(className_, "OnExit", [this] { command_->ExitCommand(); });
    }

  protected:
    CommandDialog(ui::DialogTemplate tmpl, Command* command, const char* className, int exitButton)
        : ui::Dialog(std::move(tmpl)), command_(command), className_(className) {
        if (exitButton != kNoExitButton) onClick(exitButton, [this] { OnExit(); });
    }

    void onOk() override {}
    void onCancel() override { OnExit(); }

    const char* className() const { return className_; }

    Command* command_;

  private:
    const char* className_;
};

}  // namespace addon
