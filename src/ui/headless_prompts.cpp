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

int HeadlessPrompts::messageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                                MessageButtons buttons) {
    int answer = firstButton(buttons);
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    messages_.push_back({text, caption, icon, buttons, answer});
    if (listener_) listener_(messages_.back());
    return answer;
}

std::optional<std::string> HeadlessPrompts::chooseFile(const FileRequest& request) {
    fileRequests_.push_back(request);
    return take(files_);
}

std::optional<std::uint32_t> HeadlessPrompts::chooseColour(std::uint32_t) {
    return take(colours_);
}

std::optional<PrintTarget> HeadlessPrompts::choosePrinter() {
    return take(prints_);
}

int HeadlessPrompts::popupMenu(const std::vector<MenuItem>& items) {
    menus_.push_back(items);
    if (menuChoices_.empty()) return 0;
    const int id = menuChoices_.front();
    menuChoices_.pop_front();
    return id;
}

void HeadlessPrompts::queueModal(const std::string& caption, ModalScript script) {
    queued_[caption].push_back(std::move(script));
}

int HeadlessPrompts::runModal(Dialog& dialog) {
    const std::string caption = dialog.windowText();
    modalRuns_.push_back(caption);
    ModalScript script;
    if (auto q = queued_.find(caption); q != queued_.end() && !q->second.empty()) {
        script = std::move(q->second.front());
        q->second.pop_front();
    } else if (auto s = standing_.find(caption); s != standing_.end()) {
        script = s->second;
    }
    if (script) script(dialog);
    if (!dialog.hasEnded()) dialog.endDialog(kIdCancel);
    return dialog.endCode();
}

std::vector<std::string> HeadlessPrompts::messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages_) texts.push_back(m.text);
    return texts;
}

}  // namespace ui
