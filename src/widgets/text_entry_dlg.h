#pragma once
// A small modal window asking for one line of text, built at run time without a dialog resource.
#include <string>

#include "ui/dialog.h"

class CTextEntryDlg {
  public:
    static constexpr int kEditId = 11;
    static constexpr int kPromptId = 10;

    // Shows the window over `parent` (may be null) and waits for OK (1) or Cancel (2).
    // Afterwards text() holds what the edit held when the window closed.
    int Run(ui::Window* parent, const std::string& title, const std::string& prompt,
            const std::string& initialText, bool password = false);

    const std::string& text() const { return text_; }

  private:
    std::string text_;
};
