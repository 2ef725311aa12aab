#pragma once
// The prompts service without a window system: messages are recorded, answers come from queues
// the caller fills, and modal dialogs run the script registered for their caption.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/prompts.h"

namespace ui {

struct RecordedMessage {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    int answer = 0;
};

class HeadlessPrompts : public Prompts {
  public:
    // What runs while a modal dialog is open; it acts on the dialog and may end it. A dialog the
    // script leaves open is ended as Cancel.
    using ModalScript = std::function<void(Dialog&)>;

    int messageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                   MessageButtons buttons) override;
    std::optional<std::string> chooseFile(const FileRequest& request) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;
    std::optional<PrintTarget> choosePrinter() override;
    int popupMenu(const std::vector<MenuItem>& items) override;
    int runModal(Dialog& dialog) override;

    // Answers for the next message boxes, in order; without one the first button is the answer.
    void queueAnswer(int answer) { answers_.push_back(answer); }
    // Answers for file dialogs; nothing queued (or nullopt) means Cancel.
    void queueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
    void queueColour(std::optional<std::uint32_t> colour) { colours_.push_back(colour); }
    void queuePrint(std::optional<PrintTarget> target) { prints_.push_back(std::move(target)); }
    // The id chosen from the next pop-up menu; nothing queued means the menu is dismissed.
    void queueMenuChoice(int id) { menuChoices_.push_back(id); }
    // The items of every pop-up menu shown so far.
    const std::vector<std::vector<MenuItem>>& menusShown() const { return menus_; }
    // The script for the next modal dialog with `caption` (used once, in the order queued).
    void queueModal(const std::string& caption, ModalScript script);
    // A script used for every modal dialog with `caption` that has no queued one.
    void setModal(const std::string& caption, ModalScript script) { standing_[caption] = std::move(script); }
    // Called for each message as it is shown (a script driver prints them).
    void setMessageListener(std::function<void(const RecordedMessage&)> l) { listener_ = std::move(l); }

    const std::vector<RecordedMessage>& messages() const { return messages_; }
    std::vector<std::string> messageTexts() const;
    void clearMessages() { messages_.clear(); }
    const std::vector<FileRequest>& fileRequests() const { return fileRequests_; }
    // Captions of the modal dialogs run so far.
    const std::vector<std::string>& modalRuns() const { return modalRuns_; }

  private:
    std::vector<RecordedMessage> messages_;
    std::deque<int> answers_;
    std::deque<std::optional<std::string>> files_;
    std::deque<std::optional<std::uint32_t>> colours_;
    std::deque<std::optional<PrintTarget>> prints_;
    std::deque<int> menuChoices_;
    std::vector<std::vector<MenuItem>> menus_;
    std::map<std::string, std::deque<ModalScript>> queued_;
    std::map<std::string, ModalScript> standing_;
    std::vector<FileRequest> fileRequests_;
    std::vector<std::string> modalRuns_;
    std::function<void(const RecordedMessage&)> listener_;
};

// Installs a fresh HeadlessPrompts as the program's service and returns it.
std::shared_ptr<HeadlessPrompts> installHeadlessPrompts();

}  // namespace ui
