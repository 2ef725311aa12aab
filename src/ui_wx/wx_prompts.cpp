#include "ui_wx/wx_prompts.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/colordlg.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <cstdio>

#include "ui/dialog.h"
#include "ui_wx/entry_window.h"
#include "ui_wx/input_driver.h"
#include "ui_wx/message_window.h"
#include "ui_wx/wx_backend.h"
#include "ui_wx/wx_text.h"

namespace ui_wx {

namespace {

// What the window is given before a script acts on it: shown and settled.
constexpr milliseconds kSettle(150);

// Enters `text` into `edit` as a person does: click, select all, type (or delete), Enter.
void enterLine(wxTextCtrl& edit, const std::optional<std::string>& text) {
    pumpFor(kSettle);
    if (!text) {
        pressKey(WXK_ESCAPE);
        return;
    }
    click(edit);
    pressKey('A', wxMOD_CONTROL);
    if (text->empty()) {
        pressKey(WXK_DELETE);
    } else {
        typeText(*text);
    }
    pressKey(WXK_RETURN);
}

std::string hexColour(std::uint32_t bgr) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
    return text;
}

std::optional<std::uint32_t> parseHexColour(const std::string& text) {
    unsigned r = 0, g = 0, b = 0;
    if (std::sscanf(text.c_str(), "#%2x%2x%2x", &r, &g, &b) != 3) return std::nullopt;
    return r | (g << 8) | (b << 16);
}

}  // namespace

std::string WxPrompts::wxFilter(const std::string& filter) {
    // Pairs of "name|pattern"; the toolkit ends the list with empty pairs.
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t bar = filter.find('|', from);
        parts.push_back(filter.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
        if (bar == std::string::npos) break;
        from = bar + 1;
    }
    std::string out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() && parts[i + 1].empty()) continue;
        if (!out.empty()) out += '|';
        out += parts[i] + '|' + parts[i + 1];
    }
    return out.empty() ? "All files (*)|*" : out;
}

int WxPrompts::messageBox(const std::string& text, const std::string& caption, ui::MessageIcon icon,
                          ui::MessageButtons buttons) {
    MessageWindow window(parent_, text, caption, icon, buttons);
    int answer = 0;
    if (scripted()) {
        const int wanted = takeAnswer(buttons);
        wxTheApp->CallAfter([&window, wanted] {
            pumpFor(kSettle);
            if (wxButton* b = window.button(wanted)) click(*b);
        });
        answer = window.ShowModal();
    } else {
        answer = window.ShowModal();
        if (answer == wxID_CANCEL) answer = ui::kIdCancel;
    }
    record({text, caption, icon, buttons, answer});
    return answer;
}

std::optional<std::string> WxPrompts::askLine(const std::string& title, const std::string& prompt,
                                              const std::string& value, const std::optional<std::string>& answer) {
    EntryWindow window(parent_, title, prompt, value);
    if (scripted()) wxTheApp->CallAfter([&window, answer] { enterLine(*window.edit(), answer); });
    if (window.ShowModal() != wxID_OK) return std::nullopt;
    return window.value();
}

std::optional<std::string> WxPrompts::chooseFile(const ui::FileRequest& request) {
    const std::string title = request.title.empty() ? (request.save ? "Save As" : "Open") : request.title;
    if (scripted()) {
        // A script types the path it was given into a window of ours: GTK's own file chooser
        // cannot be driven by plain input events here.
        const std::optional<std::string> answer = takeFile(request);
        return askLine(title, "File name (" + wxFilter(request.filter) + "):", request.initialName, answer);
    }
    long style = request.save ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT) : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    wxFileDialog dialog(parent_, toWx(title), toWx(request.initialFolder), toWx(request.initialName),
                        toWx(wxFilter(request.filter)), style);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    std::string path = fromWx(dialog.GetPath());
    const bool hasExtension = path.find('.', path.find_last_of('/') + 1) != std::string::npos;
    if (request.save && !request.defaultExtension.empty() && !hasExtension) path += "." + request.defaultExtension;
    return path;
}

std::optional<std::uint32_t> WxPrompts::chooseColour(std::uint32_t initial) {
    if (scripted()) {
        const std::optional<std::uint32_t> colour = takeColour();
        const auto typed = askLine("Color", "Color (#RRGGBB):", hexColour(initial),
                                   colour ? std::optional<std::string>(hexColour(*colour)) : std::nullopt);
        return typed ? parseHexColour(*typed) : std::nullopt;
    }
    wxColourData data;
    data.SetColour(colourOf(initial));
    wxColourDialog dialog(parent_, &data);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    return bgrOf(dialog.GetColourData().GetColour());
}

std::optional<ui::PrintTarget> WxPrompts::choosePrinter() {
    // Pages are printed to a file (a PDF, or PNG pages) that the person may send to a printer.
    const std::optional<ui::PrintTarget> target = scripted() ? takePrint() : std::nullopt;
    const auto path = askLine("Print", "Print to file (.pdf, or .png pages):", "",
                              target ? std::optional<std::string>(target->path) : std::nullopt);
    if (!path || path->empty()) return std::nullopt;
    return ui::PrintTarget{*path};
}

int WxPrompts::popupMenu(const std::vector<ui::MenuItem>& items) {
    const int wanted = scripted() ? takeMenuChoice(items) : 0;
    // The items' own ids may lie beyond what a menu takes; the menu numbers them from 1.
    wxMenu menu;
    int downs = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        menu.Append(static_cast<int>(i) + 1, toWx(items[i].text));
        if (items[i].id == wanted) downs = static_cast<int>(i) + 1;
    }
    wxPoint pointer;
    wxWindow* under = wxFindWindowAtPointer(pointer);
    wxWindow* owner = under ? wxGetTopLevelParent(under) : parent_;
    if (owner == nullptr) return 0;
    if (scripted()) {
        wxTheApp->CallAfter([downs] {
            pumpFor(kSettle);
            // A menu opened at the pointer has no item highlighted: the first Down reaches the first.
            for (int i = 0; i < downs; ++i) pressKey(WXK_DOWN);
            pressKey(downs > 0 ? WXK_RETURN : WXK_ESCAPE);
        });
    }
    const int chosen = owner->GetPopupMenuSelectionFromUser(menu);
    if (chosen < 1 || chosen > static_cast<int>(items.size())) return 0;
    return items[static_cast<std::size_t>(chosen) - 1].id;
}

int WxPrompts::runModal(ui::Dialog& dialog) {
    ModalScript script = takeModal(dialog);
    std::function<void()> whileOpen;
    if (script) {
        whileOpen = [script, &dialog] {
            pumpFor(kSettle);
            script(dialog);
            // A dialog the script leaves open is ended as Cancel.
            if (!dialog.hasEnded()) dialog.endDialog(ui::kIdCancel);
        };
    } else if (scripted()) {
        whileOpen = [&dialog] {
            if (!dialog.hasEnded()) dialog.endDialog(ui::kIdCancel);
        };
    }
    WxBackend::instance().runModal(dialog, whileOpen);
    if (!dialog.hasEnded()) dialog.endDialog(ui::kIdCancel);
    return dialog.endCode();
}

}  // namespace ui_wx
