#include "ui_wx/wx_prompts.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/colordlg.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
// The generic message box needs the message dialog declarations first.
#include <wx/generic/msgdlgg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "ui/control.h"
#include "ui/dialog.h"
#include "ui_wx/colour_dialog.h"
#include "ui_wx/file_dialog.h"
#include "ui_wx/input_driver.h"
#include "ui_wx/print_dialog.h"
#include "ui_wx/wx_backend.h"
#include "ui_wx/wx_text.h"

namespace ui_wx {

namespace {

constexpr milliseconds kSettle(150);
constexpr milliseconds kCloseLimit(4000);

long styleOf(ui::MessageIcon icon, ui::MessageButtons buttons) {
    long style = 0;
    switch (buttons) {
        case ui::MessageButtons::Ok:
            style = wxOK;
            break;
        case ui::MessageButtons::OkCancel:
            style = wxOK | wxCANCEL;
            break;
        case ui::MessageButtons::YesNo:
            style = wxYES_NO;
            break;
        case ui::MessageButtons::YesNoCancel:
            style = wxYES_NO | wxCANCEL;
            break;
    }
    switch (icon) {
        case ui::MessageIcon::None:
            break;
        case ui::MessageIcon::Information:
            style |= wxICON_INFORMATION;
            break;
        case ui::MessageIcon::Warning:
            style |= wxICON_WARNING;
            break;
        case ui::MessageIcon::Error:
            style |= wxICON_ERROR;
            break;
        case ui::MessageIcon::Question:
            style |= wxICON_QUESTION;
            break;
    }
    return style;
}

int wxIdOf(int answer) {
    switch (answer) {
        case ui::kIdOk:
            return wxID_OK;
        case ui::kIdCancel:
            return wxID_CANCEL;
        case ui::kIdYes:
            return wxID_YES;
        case ui::kIdNo:
            return wxID_NO;
        default:
            return wxID_NONE;
    }
}

int answerOf(int wxId) {
    switch (wxId) {
        case wxID_OK:
            return ui::kIdOk;
        case wxID_YES:
            return ui::kIdYes;
        case wxID_NO:
            return ui::kIdNo;
        default:
            return ui::kIdCancel;
    }
}

// A dialog ended while the input driver's nested loop ran: GTK quit that inner loop instead of the
// dialog's, which would run on. Called from the dialog's own loop, it leaves that loop.
void leaveEndedLoop(const wxDialog& dialog) {
    if (!dialog.IsModal() && wxEventLoopBase::GetActive() != nullptr)
        wxEventLoopBase::GetActive()->ScheduleExit();
}

// Shows `dialog` modally; `input`, when given, runs inside its loop once the window is on the
// screen and closes it through input events. Should the input miss (the window stays open), the
// dialog is cancelled so that a script never hangs.
int showModal(wxDialog& dialog, std::function<void()> input) {
    if (input) {
        wxTheApp->CallAfter([&dialog, input] {
            pumpUntil([&dialog] { return dialog.IsShownOnScreen(); });
            pumpFor(kSettle);
            input();
            if (!pumpUntil([&dialog] { return !dialog.IsModal(); }, kCloseLimit))
                dialog.EndModal(wxID_CANCEL);
            leaveEndedLoop(dialog);
        });
    }
    return dialog.ShowModal();
}

// Replaces the text of `field` by `text` and presses Enter, as a person types it.
void typeInto(wxTextCtrl& field, const std::string& text) {
    click(field);
    retypeText(text);
    pressKey(WXK_RETURN);
}

void clickButton(wxDialog& dialog, int wxId) {
    if (wxWindow* button = dialog.FindWindow(wxId)) click(*button);
}

}  // namespace

wxString wxFilterOf(const std::string& filter) {
    wxArrayString parts = wxSplit(toWx(filter), '|', '\0');
    wxString out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() && parts[i + 1].empty()) continue;
        if (!out.empty()) out += '|';
        out += parts[i] + '|' + parts[i + 1];
    }
    return out;
}

wxWindow* windowUnderPointer() {
    if (wxWindow* under = wxFindWindowAtPoint(wxGetMousePosition())) return wxGetTopLevelParent(under);
    return wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr;
}

int WxPrompts::messageBox(const std::string& text, const std::string& caption, ui::MessageIcon icon,
                          ui::MessageButtons buttons) {
    wxGenericMessageDialog box(windowUnderPointer(), toWx(text), toWx(caption), styleOf(icon, buttons));
    if (!scripted()) {
        const int answer = answerOf(box.ShowModal());
        // The person's answer is recorded as a queued one would be.
        queueAnswer(answer);
        return HeadlessPrompts::messageBox(text, caption, icon, buttons);
    }
    const int answer = HeadlessPrompts::messageBox(text, caption, icon, buttons);
    bool hasButton = false;
    const int shown = showModal(box, [&box, answer, &hasButton] {
        wxWindow* button = box.FindWindow(wxIdOf(answer));
        hasButton = button != nullptr;
        // An answer the box has no button for is still the script's: the box closes by its first.
        if (button == nullptr)
            button = box.FindWindow(wxID_YES) ? box.FindWindow(wxID_YES) : box.FindWindow(wxID_OK);
        if (button != nullptr) click(*button);
    });
    return hasButton ? answerOf(shown) : answer;
}

std::optional<std::string> WxPrompts::chooseFile(const ui::FileRequest& request) {
    const wxString wildcard = wxFilterOf(request.filter);
    if (!scripted()) {
        HeadlessPrompts::chooseFile(request);
        long style = request.save ? wxFD_SAVE | wxFD_OVERWRITE_PROMPT : wxFD_OPEN | wxFD_FILE_MUST_EXIST;
        wxFileDialog dialog(windowUnderPointer(), toWx(request.title), toWx(request.initialFolder),
                            toWx(request.initialName), wildcard.empty() ? wxString("*") : wildcard, style);
        if (dialog.ShowModal() != wxID_OK) return std::nullopt;
        wxFileName name(dialog.GetPath());
        if (request.save && !name.HasExt() && !request.defaultExtension.empty())
            name.SetExt(toWx(request.defaultExtension));
        return fromWx(name.GetFullPath());
    }
    const std::optional<std::string> queued = HeadlessPrompts::chooseFile(request);
    // The generic control refuses to open a file that is not there; the script's name is taken.
    const bool save = request.save || (queued && !wxFileExists(toWx(*queued)));
    FileDialog dialog(windowUnderPointer(), toWx(request.title), toWx(request.initialFolder),
                      toWx(request.initialName), wildcard, save);
    const int code = showModal(dialog, [&dialog, &queued] {
        if (queued) {
            typeInto(*dialog.nameField(), *queued);
        } else {
            clickButton(dialog, wxID_CANCEL);
        }
    });
    if (code != wxID_OK) return std::nullopt;
    return fromWx(dialog.path());
}

std::optional<std::uint32_t> WxPrompts::chooseColour(std::uint32_t initial) {
    if (!scripted()) {
        HeadlessPrompts::chooseColour(initial);
        wxColourData data;
        data.SetColour(colourOf(initial));
        wxColourDialog dialog(windowUnderPointer(), &data);
        if (dialog.ShowModal() != wxID_OK) return std::nullopt;
        return bgrOf(dialog.GetColourData().GetColour());
    }
    const std::optional<std::uint32_t> queued = HeadlessPrompts::chooseColour(initial);
    ColourDialog dialog(windowUnderPointer(), colourOf(initial));
    const int code = showModal(dialog, [&dialog, &queued] {
        if (queued) {
            const wxColour c = colourOf(*queued);
            typeInto(*dialog.hexField(),
                     fromWx(wxString::Format("%02X%02X%02X", c.Red(), c.Green(), c.Blue())));
        } else {
            clickButton(dialog, wxID_CANCEL);
        }
    });
    if (code != wxID_OK) return std::nullopt;
    return bgrOf(dialog.colour());
}

std::optional<ui::PrintTarget> WxPrompts::choosePrinter() {
    PrintDialog dialog(windowUnderPointer());
    if (!scripted()) {
        HeadlessPrompts::choosePrinter();
        if (dialog.ShowModal() != wxID_OK) return std::nullopt;
        return ui::PrintTarget{dialog.target()};
    }
    const std::optional<ui::PrintTarget> queued = HeadlessPrompts::choosePrinter();
    const int code = showModal(dialog, [&dialog, &queued] {
        if (queued) {
            click(*dialog.toFileChoice());
            typeInto(*dialog.pathField(), queued->path);
        } else {
            clickButton(dialog, wxID_CANCEL);
        }
    });
    if (code != wxID_OK) return std::nullopt;
    return ui::PrintTarget{dialog.target()};
}

int WxPrompts::popupMenu(const std::vector<ui::MenuItem>& items) {
    constexpr int kFirstId = wxID_HIGHEST + 1;
    wxMenu menu;
    for (size_t i = 0; i < items.size(); ++i)
        menu.Append(kFirstId + static_cast<int>(i), toWx(items[i].text));

    // A menu needs a window to be shown over; without one under the pointer a small one is made.
    wxWindow* owner = windowUnderPointer();
    wxFrame* made = nullptr;
    if (owner == nullptr) {
        made = new wxFrame(nullptr, wxID_ANY, "", wxGetMousePosition(), wxSize(1, 1),
                           wxFRAME_NO_TASKBAR | wxBORDER_NONE);
        made->Show();
        owner = made;
        pumpFor(kSettle);
    }
    int chosenIndex = -1;
    if (!scripted()) {
        const int id =
            owner->GetPopupMenuSelectionFromUser(menu, owner->ScreenToClient(wxGetMousePosition()));
        if (id >= kFirstId && id < kFirstId + static_cast<int>(items.size())) chosenIndex = id - kFirstId;
        queueMenuChoice(chosenIndex < 0 ? 0 : items[static_cast<size_t>(chosenIndex)].id);
        HeadlessPrompts::popupMenu(items);
    } else {
        const int choice = HeadlessPrompts::popupMenu(items);
        int target = -1;
        for (size_t i = 0; i < items.size(); ++i) {
            if (choice != 0 && items[i].id == choice) target = static_cast<int>(i);
        }
        // The menu grabs the keyboard while it is open: the item is chosen with the arrow keys
        // and Enter, a dismissed menu with Escape.
        wxTheApp->CallAfter([target, owner] {
            pumpFor(kSettle);
            // The menu opens under the pointer, which would highlight the item it rests on: the
            // pointer is moved off the menu so that the keys count from no item.
            pointAt(*owner);
            if (target < 0) {
                pressKey(WXK_ESCAPE);
                return;
            }
            for (int i = 0; i <= target; ++i) pressKey(WXK_DOWN);
            pressKey(WXK_RETURN);
        });
        const int id =
            owner->GetPopupMenuSelectionFromUser(menu, owner->ScreenToClient(wxGetMousePosition()));
        if (id >= kFirstId && id < kFirstId + static_cast<int>(items.size())) chosenIndex = id - kFirstId;
    }
    if (made != nullptr) made->Destroy();
    return chosenIndex < 0 ? 0 : items[static_cast<size_t>(chosenIndex)].id;
}

int WxPrompts::runModal(ui::Dialog& dialog) {
    WxBackend& backend = WxBackend::instance();
    // Without a window (the backend not installed) the dialog runs as in headless runs.
    if (backend.windowOf(dialog) == nullptr) return HeadlessPrompts::runModal(dialog);
    if (!scripted()) return backend.runModal(dialog, nullptr);
    // The headless run picks the script, runs it on the open window and cancels a dialog it
    // leaves open, which ends the modal loop.
    wxDialog* window = backend.windowOf(dialog);
    return backend.runModal(dialog, [this, &dialog, window] {
        HeadlessPrompts::runModal(dialog);
        pumpUntil([window] { return !window->IsModal(); }, kCloseLimit);
        leaveEndedLoop(*window);
    });
}

}  // namespace ui_wx
