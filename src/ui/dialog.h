#pragma once
// A dialog built from a template. Controls are reached by numeric id and handlers are bound by id.
// The dialog's state lives here, so it works with no window system at all (tests, scripts, batch
// runs); a window-system backend observes it and turns a person's actions into the user* calls.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/custom_widget.h"
#include "ui/dialog_template.h"
#include "ui/window.h"

namespace ui {

class UiError : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

class Dialog;

// Told about a dialog's life and changes (window-system backends, script drivers).
class DialogObserver {
  public:
    virtual ~DialogObserver() = default;
    virtual void created(Dialog&) {}
    virtual void changed(Dialog&, int controlId) {}
    virtual void destroyed(Dialog&) {}
    // The dialog's window is to come in front of the others and take the keys.
    virtual void broughtToFront(Dialog&) {}
};

class Dialog : public Window {
  public:
    explicit Dialog(DialogTemplate tmpl);
    ~Dialog() override;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // ---- life ----
    // Builds the controls, runs onInitDialog and shows the window (modeless).
    void create();
    // Destroys the window; the object stays and may be created again.
    void destroy();
    // Runs the dialog modally through the prompts service; returns the end code.
    int runModal();
    // Ends a modal run with `code`; a modeless dialog is hidden, as the framework does.
    void endDialog(int code);

    bool isCreated() const { return created_; }
    bool isModal() const { return modal_; }
    bool hasEnded() const { return ended_; }
    int endCode() const { return endCode_; }
    bool isShown() const { return shown_; }
    void showWindow(bool show);
    // Shows the window in front of the others, with the keys (its command was chosen again).
    void bringToFront();
    int templateId() const { return tmpl_.id; }

    std::string windowText() const override { return caption_; }
    void setCaption(const std::string& caption);
    const Rect& windowRect() const { return windowRect_; }
    void moveWindow(const Rect& r);

    // ---- controls ----
    bool hasControl(int id) const { return index_.count(id) != 0; }
    const Control& control(int id) const;
    std::vector<int> controlIds() const;
    // Every control in the template's order, those without an id of their own included.
    const std::vector<Control>& controls() const { return controls_; }

    void setText(int id, const std::string& text);
    std::string text(int id) const;
    void enable(int id, bool enabled);
    bool isEnabled(int id) const;
    void show(int id, bool visible);
    bool isVisible(int id) const;
    void setCheck(int id, bool checked);
    bool isChecked(int id) const;

    // List and combo boxes.
    void clearItems(int id);
    int addItem(int id, const std::string& text);  // index of the new item (sorted boxes insert in order)
    int itemCount(int id) const;
    std::string itemText(int id, int index) const;
    void setItemData(int id, int index, long data);
    long itemData(int id, int index) const;
    void deleteItem(int id, int index);
    int findItemExact(int id, const std::string& text) const;  // -1 when absent
    void setSelection(int id, int index);                      // -1 clears
    int selection(int id) const;

    // Sliders.
    void setRange(int id, int min, int max);
    void setPosition(int id, int position);
    int position(int id) const;
    int rangeMin(int id) const;
    int rangeMax(int id) const;

    // ---- custom widgets (see ui/custom_widget.h) ----
    // Gives the dialog `widget` to own under the Custom control `id`; a widget already there is
    // replaced. Throws UiError when `id` is no Custom control of the template.
    CustomWidget& attachWidget(int id, std::unique_ptr<CustomWidget> widget);
    // The widget under `id`; null when there is none.
    CustomWidget* widget(int id) const;
    // The widget under `id` as its own type; throws UiError when there is none of that type.
    template <typename W>
    W& widgetAs(int id) const {
        if (auto* w = dynamic_cast<W*>(widget(id))) return *w;
        throw UiError("dialog \"" + caption_ + "\" has no widget of that type at " + std::to_string(id));
    }

    // ---- window messages ----
    // Messages a dialog defines for itself (kUserMessage + n), sent by its widgets or its code.
    using MessageHandler = std::function<void(std::intptr_t wparam, std::intptr_t lparam)>;
    void onMessage(int message, MessageHandler h) { messageHandlers_[message] = std::move(h); }
    // Calls the handler bound to `message`; answers false when none is bound.
    bool sendMessage(int message, std::intptr_t wparam, std::intptr_t lparam = 0);

    // True when a person can act on control `id` now: the dialog is created, the control is
    // enabled and visible.
    bool acceptsInput(int id) const { return canAct(id); }

    // ---- handlers ----
    using Handler = std::function<void()>;
    using ScrollHandler = std::function<void(int code, int position)>;
    void onClick(int id, Handler h) { clickHandlers_[id] = std::move(h); }
    void onSelectionChange(int id, Handler h) { selectionHandlers_[id] = std::move(h); }
    void onEditChange(int id, Handler h) { editHandlers_[id] = std::move(h); }
    void onDoubleClick(int id, Handler h) { doubleClickHandlers_[id] = std::move(h); }
    void onScroll(int id, ScrollHandler h) { scrollHandlers_[id] = std::move(h); }

    // ---- what a person does (headless backend, scripts, window-system events) ----
    // Each returns false when the control cannot take the action (hidden or disabled).
    bool userType(int id, const std::string& text);
    bool userClick(int id);
    bool userChoose(int id, int index);
    bool userDoubleClick(int id, int index);
    bool userSlide(int id, int position, int code = kScrollThumbPosition);
    void userPressEnter();
    void userPressEscape();
    void userClose();

    void addObserver(DialogObserver* o) { observers_.push_back(o); }
    void removeObserver(DialogObserver* o);

  protected:
    // Called when the window has been built; answer false when the focus was set by the dialog.
    virtual bool onInitDialog() { return true; }
    // Enter / the default button and Escape / Cancel. By default they end the dialog.
    virtual void onOk() { endDialog(kIdOk); }
    virtual void onCancel() { endDialog(kIdCancel); }
    // The close box of the caption acts as Cancel unless a dialog decides otherwise.
    virtual void onClose() { onCancel(); }
    // Called just before the window is destroyed.
    virtual void onDestroy() {}

  private:
    friend class ModalRun;
    friend class CustomWidget;
    Control& mutableControl(int id);
    void notifyChanged(int id);
    bool canAct(int id) const;
    void fire(const std::map<int, Handler>& handlers, int id);
    void checkRadio(int id);
    void buildControls();

    DialogTemplate tmpl_;
    std::string caption_;
    Rect windowRect_;
    std::vector<Control> controls_;
    std::map<int, std::size_t> index_;
    std::map<int, Handler> clickHandlers_, selectionHandlers_, editHandlers_, doubleClickHandlers_;
    std::map<int, ScrollHandler> scrollHandlers_;
    std::map<int, MessageHandler> messageHandlers_;
    std::map<int, std::unique_ptr<CustomWidget>> widgets_;  // kept across destroy and create
    std::vector<DialogObserver*> observers_;
    bool created_ = false;
    bool modal_ = false;
    bool ended_ = false;
    bool shown_ = false;
    int endCode_ = 0;
};

// Every created dialog, oldest first (scripts and tests find dialogs by caption).
std::vector<Dialog*> openDialogs();
// The newest open dialog whose caption is `caption`; null when none.
Dialog* findDialog(const std::string& caption);
// The newest open dialog; null when none.
Dialog* newestDialog();

// Told of every dialog that is created or destroyed anywhere (the wx backend, script drivers).
void addGlobalDialogObserver(DialogObserver* o);
void removeGlobalDialogObserver(DialogObserver* o);

}  // namespace ui
