#pragma once
// The prompts service with real windows. Every message box, file, colour and print dialog and
// pop-up menu is shown on the screen. Interactive: the window waits for the person. Scripted: the
// answer queued on the headless service (or its default when nothing is queued) is given through
// real input events on the window, which then closes by that input. The record of messages and
// the message listener are the headless service's, so a script prints the same in both modes.
#include <wx/string.h>

#include "ui/headless_prompts.h"

class wxWindow;

namespace ui_wx {

class WxPrompts : public ui::HeadlessPrompts {
  public:
    enum class Mode { Interactive, Scripted };

    explicit WxPrompts(Mode mode) : mode_(mode) {}
    Mode mode() const { return mode_; }

    int messageBox(const std::string& text, const std::string& caption, ui::MessageIcon icon,
                   ui::MessageButtons buttons) override;
    std::optional<std::string> chooseFile(const ui::FileRequest& request) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;
    std::optional<ui::PrintTarget> choosePrinter() override;
    int popupMenu(const std::vector<ui::MenuItem>& items) override;
    int runModal(ui::Dialog& dialog) override;

  private:
    bool scripted() const { return mode_ == Mode::Scripted; }
    Mode mode_;
};

// The toolkit's filter ("Name (*.ext)|*.ext|Name2|*.b||") in wx's form, the empty pairs dropped.
wxString wxFilterOf(const std::string& filter);
// The window dialogs and menus are shown over: the top-level window under the pointer, else the
// program's top window (may be null).
wxWindow* windowUnderPointer();

}  // namespace ui_wx
