#pragma once
// A control whose state is a model of its own (a property grid, an editable grid) rather than the
// plain text, items and check state of a Control. A dialog owns such a widget under the id of a
// Custom control of its template:
//
//   t.add(11078, ui::ControlKind::Custom, "", rect);                     // in the template
//   dialog.attachWidget(11078, std::make_unique<widgets::PropertyGrid>()); // once, after construction
//   auto& grid = dialog.widgetAs<widgets::PropertyGrid>(11078);           // dialog code, scripts, tests
//
// The widget tells its dialog about a person's changes by sending it a window message
// (Dialog::onMessage binds a handler), and tells observers (a window-system backend) that it
// changed through the dialog's observers, with its control id.
#include <cstdint>

namespace ui {

class Dialog;

// The first message number a dialog may define for itself; widgets send kUserMessage + n.
inline constexpr int kUserMessage = 0x0400;

class CustomWidget {
  public:
    virtual ~CustomWidget() = default;

    // The dialog that owns the widget; null before it is attached.
    Dialog* owner() const { return owner_; }
    // The id of the Custom control the widget sits in; 0 before it is attached.
    int controlId() const { return controlId_; }

  protected:
    CustomWidget() = default;
    CustomWidget(const CustomWidget&) = delete;
    CustomWidget& operator=(const CustomWidget&) = delete;

    // True when a person can act on the widget now: the dialog is created and the control is
    // enabled and visible. A widget that is not attached takes actions (tests of the model alone).
    bool acceptsInput() const;
    // Sends `message` to the owning dialog; answers whether a handler took it.
    bool notifyOwner(int message, std::intptr_t wparam, std::intptr_t lparam = 0);
    // Tells the dialog's observers that the widget's state changed (a backend repaints it).
    void changed();

  private:
    friend class Dialog;
    Dialog* owner_ = nullptr;
    int controlId_ = 0;
};

}  // namespace ui
