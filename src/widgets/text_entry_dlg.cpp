#include "widgets/text_entry_dlg.h"

namespace {

// The window: 348 wide, client area 100 high; prompt, edit, OK and Cancel as laid out below.
class TextEntryWindow : public ui::Dialog {
  public:
    TextEntryWindow(const std::string& title, const std::string& prompt, const std::string& initialText,
                    bool password, std::string& result)
        : ui::Dialog(makeTemplate(title, prompt, initialText, password)), result_(result) {
        onEditChange(CTextEntryDlg::kEditId, [this] { updateOk(); });
        onClick(ui::kIdOk, [this] { finish(ui::kIdOk); });
        onClick(ui::kIdCancel, [this] { finish(ui::kIdCancel); });
    }

  protected:
    bool onInitDialog() override {
        updateOk();
        return false;  // the edit has the focus
    }
    void onOk() override {
        if (isEnabled(ui::kIdOk)) finish(ui::kIdOk);
    }
    void onCancel() override { finish(ui::kIdCancel); }

  private:
    static ui::DialogTemplate makeTemplate(const std::string& title, const std::string& prompt,
                                           const std::string& initialText, bool password) {
        ui::DialogTemplate t;
        t.caption = title;
        t.rect = {0, 0, 348, 100};
        t.add(CTextEntryDlg::kPromptId, ui::ControlKind::Static, prompt, {6, 6, 340, 35}, ui::kStyleNoPrefix);
        t.add(CTextEntryDlg::kEditId, ui::ControlKind::Edit, initialText, {6, 36, 335, 57},
              password ? ui::kStylePassword : ui::kStyleNone);
        t.add(ui::kIdOk, ui::ControlKind::Button, "OK", {188, 62, 258, 85}, ui::kStyleDefault);
        t.add(ui::kIdCancel, ui::ControlKind::Button, "Cancel", {265, 62, 335, 85});
        return t;
    }

    void updateOk() { enable(ui::kIdOk, !text(CTextEntryDlg::kEditId).empty()); }

    void finish(int code) {
        result_ = text(CTextEntryDlg::kEditId);
        endDialog(code);
    }

    std::string& result_;
};

}  // namespace

int CTextEntryDlg::Run(ui::Window* /*parent*/, const std::string& title, const std::string& prompt,
                       const std::string& initialText, bool password) {
    // The parent is disabled while the window runs and enabled again afterwards by the backend's
    // modal loop; the headless backend has no parent windows to disable.
    text_ = initialText;
    TextEntryWindow window(title, prompt, initialText, password, text_);
    return window.runModal();
}
