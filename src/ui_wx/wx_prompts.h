#pragma once
// The prompts service with real windows. Every message box, file, colour and print request and
// every pop-up menu is a window on the screen. With a person at the GUI the person answers; when a
// script drives the GUI, the answers the script queued (or, with none, those of the headless
// service) are given through real input on those windows. What is recorded and printed of each
// message is the same as headless, so a script's output does not depend on the windows.
#include "ui/headless_prompts.h"

class wxWindow;

namespace ui_wx {

class WxPrompts : public ui::HeadlessPrompts {
  public:
    enum class Mode { Person, Script };
    explicit WxPrompts(Mode mode) : mode_(mode) {}

    // The window the prompts stand over (the main window).
    void setParent(wxWindow* parent) { parent_ = parent; }

    int messageBox(const std::string& text, const std::string& caption, ui::MessageIcon icon,
                   ui::MessageButtons buttons) override;
    std::optional<std::string> chooseFile(const ui::FileRequest& request) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;
    std::optional<ui::PrintTarget> choosePrinter() override;
    int popupMenu(const std::vector<ui::MenuItem>& items) override;
    int runModal(ui::Dialog& dialog) override;

    // The toolkit's filter ("Text (*.txt)|*.txt|All (*.*)|*.*||") as wx writes one.
    static std::string wxFilter(const std::string& filter);

  private:
    bool scripted() const { return mode_ == Mode::Script; }
    // A scripted answer typed into a one-line window: `answer` typed and Enter, or Escape for none.
    std::optional<std::string> askLine(const std::string& title, const std::string& prompt,
                                       const std::string& value, const std::optional<std::string>& answer);

    Mode mode_;
    wxWindow* parent_ = nullptr;
};

}  // namespace ui_wx
