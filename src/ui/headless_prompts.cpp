#include "ui/headless_prompts.h"

#include "ui/control.h"
#include "ui/dialog.h"

namespace ui {

namespace {
int firstButton(MessageButtons buttons) {
    return (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel) ? kIdYes : kIdOk;
}

template <typename T>
std::optional<T> take(std::deque<std::optional<T>>& queue) {
    if (queue.empty()) return std::nullopt;
    auto v = std::move(queue.front());
    queue.pop_front();
    return v;
}
}  // namespace

int HeadlessPrompts::takeAnswer(MessageButtons buttons) {
    if (answers_.empty()) return firstButton(buttons);
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void HeadlessPrompts::record(RecordedMessage message) {
    messages_.push_back(std::move(message));
    if (listener_) listener_(messages_.back());
}

int HeadlessPrompts::messageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                                MessageButtons buttons) {
    const int answer = takeAnswer(buttons);
    record({text, caption, icon, buttons, answer});
    return answer;
}

std::optional<std::string> HeadlessPrompts::takeFile(const FileRequest& request) {
    fileRequests_.push_back(request);
    return take(files_);
}

std::optional<std::string> HeadlessPrompts::chooseFile(const FileRequest& request) {
    return takeFile(request);
}

std::optional<std::uint32_t> HeadlessPrompts::takeColour() {
    return take(colours_);
}

std::optional<std::uint32_t> HeadlessPrompts::chooseColour(std::uint32_t) {
    return takeColour();
}

std::optional<PrintTarget> HeadlessPrompts::takePrint() {
    return take(prints_);
}

std::optional<PrintTarget> HeadlessPrompts::choosePrinter() {
    return takePrint();
}

int HeadlessPrompts::takeMenuChoice(const std::vector<MenuItem>& items) {
    menus_.push_back(items);
    if (menuChoices_.empty()) return 0;
    const int id = menuChoices_.front();
    menuChoices_.pop_front();
    return id;
}

int HeadlessPrompts::popupMenu(const std::vector<MenuItem>& items) {
    return takeMenuChoice(items);
}

void HeadlessPrompts::queueModal(const std::string& caption, ModalScript script) {
    queued_[caption].push_back(std::move(script));
}

HeadlessPrompts::ModalScript HeadlessPrompts::takeModal(const Dialog& dialog) {
    const std::string caption = dialog.windowText();
    modalRuns_.push_back(caption);
    ModalScript script;
    if (auto q = queued_.find(caption); q != queued_.end() && !q->second.empty()) {
        script = std::move(q->second.front());
        q->second.pop_front();
    } else if (auto s = standing_.find(caption); s != standing_.end()) {
        script = s->second;
    }
    return script;
}

int HeadlessPrompts::runModal(Dialog& dialog) {
    if (ModalScript script = takeModal(dialog)) script(dialog);
    if (!dialog.hasEnded()) dialog.endDialog(kIdCancel);
    return dialog.endCode();
}

std::vector<std::string> HeadlessPrompts::messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages_) texts.push_back(m.text);
    return texts;
}

}  // namespace ui
