#pragma once
// The one service through which every message box, common dialog (file, colour, print) and modal
// run goes. The program installs the service of its backend; tests and scripts install the
// headless one and queue the answers a person would give.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class Dialog;

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

struct FileRequest {
    bool save = false;  // a save dialog, else an open dialog
    std::string title;
    std::string initialFolder;
    std::string initialName;
    std::string defaultExtension;  // without the dot
    std::string filter;            // "Text files (*.txt)|*.txt|All files (*.*)|*.*"
};

// Where a print goes: in the GUI a printer; in headless runs a PNG or PDF file.
struct PrintTarget {
    std::string path;
};

struct MenuItem {
    int id = 0;
    std::string text;
};

class Prompts {
  public:
    virtual ~Prompts() = default;
    // Shows a message; returns the id of the button pressed (kIdOk, kIdCancel, kIdYes, kIdNo).
    virtual int messageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                           MessageButtons buttons) = 0;
    virtual std::optional<std::string> chooseFile(const FileRequest& request) = 0;
    // Colours as 0x00BBGGRR.
    virtual std::optional<std::uint32_t> chooseColour(std::uint32_t initial) = 0;
    virtual std::optional<PrintTarget> choosePrinter() = 0;
    // Shows a pop-up menu at the cursor; answers the chosen item's id, 0 when dismissed.
    virtual int popupMenu(const std::vector<MenuItem>& items) = 0;
    // Runs `dialog` modally (it has been created); returns its end code.
    virtual int runModal(Dialog& dialog) = 0;
};

Prompts& prompts();
// Installs the program's service; null restores the default headless one.
void setPrompts(std::shared_ptr<Prompts> service);

// The add-on's plain message box: text, the add-on's caption, an OK button.
void showMessage(const std::string& text);
// The caption of the add-on's message boxes.
inline constexpr const char* kMessageCaption = "Tarvenic";

}  // namespace ui
