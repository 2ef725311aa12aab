#include "program/script_runner.h"

#include <memory>
#include <utility>

#include "program/script_verbs.h"
#include "ui/dialog.h"
#include "ui/message_pump.h"

namespace hostapp {

std::optional<long> parseInteger(const std::string& word) {
    if (word.empty()) return std::nullopt;
    try {
        std::size_t used = 0;
        const long value = std::stol(word, &used);
        if (used == word.size()) return value;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

const ScriptRunner::VerbTable& ScriptRunner::verbs() {
    static const VerbTable table = [] {
        VerbTable all;
        addSessionVerbs(all);
        addMenuVerbs(all);
        addDialogVerbs(all);
        addCheckVerbs(all);
        addFileVerbs(all);
        addViewVerbs(all);
        addSceneVerbs(all);
        return all;
    }();
    return table;
}

ScriptRunner::ScriptRunner(HostApplication& app, ui::HeadlessPrompts& prompts, std::ostream& out,
                           ScriptOptions options)
    : app_(app),
      prompts_(prompts),
      person_(options.person != nullptr ? *options.person : headless_),
      out_(out),
      options_(std::move(options)) {
    prompts_.setMessageListener(
        [this](const ui::RecordedMessage& m) { out_ << "message: " << m.text << std::endl; });
}

ScriptRunner::~ScriptRunner() {
    prompts_.setMessageListener(nullptr);
    ui::whenBusy(nullptr);  // a block no handler's loop reached
}

void ScriptRunner::run(const std::vector<ScriptLine>& lines) {
    const std::size_t next = runBlock(lines, 0, false);
    if (next < lines.size()) throw ScriptFailure(lines[next].number, "\"end\" without \"on-modal\"");
}

std::size_t ScriptRunner::runBlock(const std::vector<ScriptLine>& lines, std::size_t from, bool inModal) {
    std::size_t i = from;
    while (i < lines.size()) {
        const ScriptLine& line = lines[i];
        const std::string& verb = line.words[0];
        line_ = line.number;
        if (verb == "end") return i;
        if (verb == "on-modal") {
            i = registerModal(lines, i);
            continue;
        }
        if (verb == "on-busy") {
            i = registerBusy(lines, i);
            continue;
        }
        runLine(line);
        ++i;
        if (inModal && (verb == "accept" || verb == "cancel")) return lines.size();
        if (!inModal && !busy_) checkPendingFailure();
    }
    return i;
}

std::size_t ScriptRunner::registerModal(const std::vector<ScriptLine>& lines, std::size_t at) {
    const ScriptLine& head = lines[at];
    if (head.words.size() < 2 || head.words.size() > 3 ||
        (head.words.size() == 3 && head.words[2] != "always"))
        throw ScriptFailure(head.number, "usage: on-modal CAPTION [always] ... end");
    const std::size_t end = blockEnd(lines, at);
    std::vector<ScriptLine> block(lines.begin() + static_cast<long>(at) + 1,
                                  lines.begin() + static_cast<long>(end));
    auto script = [this, block](ui::Dialog& d) {
        ui::Dialog* outerModal = std::exchange(modal_, &d);
        auto outerIn = std::exchange(inCaption_, std::nullopt);
        const int outerLine = line_;
        try {
            runBlock(block, 0, true);
        } catch (const ScriptFailure& failure) {
            // The failure cannot travel through the add-on's modal run; it stops the script as
            // soon as the line that opened the window has returned.
            if (!pendingFailure_) pendingFailure_ = failure;
            if (!d.hasEnded()) d.endDialog(ui::kIdCancel);
        }
        modal_ = outerModal;
        inCaption_ = outerIn;
        line_ = outerLine;
    };
    if (head.words.size() == 3) {
        prompts_.setModal(head.words[1], script);
    } else {
        prompts_.queueModal(head.words[1], script);
    }
    return end + 1;
}

std::size_t ScriptRunner::blockEnd(const std::vector<ScriptLine>& lines, std::size_t at) {
    // A block runs to its own "end"; blocks may hold blocks (a modal window opening another).
    int depth = 0;
    std::size_t end = at + 1;
    for (; end < lines.size(); ++end) {
        const std::string& verb = lines[end].words[0];
        if (verb == "on-modal" || verb == "on-busy") ++depth;
        if (verb == "end" && depth-- == 0) break;
    }
    if (end == lines.size())
        throw ScriptFailure(lines[at].number, "\"" + lines[at].words[0] + "\" without \"end\"");
    return end;
}

std::size_t ScriptRunner::registerBusy(const std::vector<ScriptLine>& lines, std::size_t at) {
    if (lines[at].words.size() != 1) throw ScriptFailure(lines[at].number, "usage: on-busy ... end");
    const std::size_t end = blockEnd(lines, at);
    auto block = std::make_shared<std::vector<ScriptLine>>(lines.begin() + static_cast<long>(at) + 1,
                                                           lines.begin() + static_cast<long>(end));
    for (const ScriptLine& line : *block)
        if (line.words[0] == "on-modal" || line.words[0] == "on-busy")
            throw ScriptFailure(line.number, "an on-busy block holds single lines only");
    busyLine(block, 0);
    return end + 1;
}

void ScriptRunner::busyLine(std::shared_ptr<const std::vector<ScriptLine>> block, std::size_t index) {
    if (index >= block->size()) return;
    // One line each time a handler's own loop hands messages on (a frame of the animation in
    // PLOT), as a person acts while it runs; the host's work after an event waits until the
    // handler returns.
    ui::whenBusy([this, block, index] {
        const bool outerBusy = std::exchange(busy_, true);
        const int outerLine = line_;
        try {
            line_ = (*block)[index].number;
            runLine((*block)[index]);
            busyLine(block, index + 1);
        } catch (const ScriptFailure& failure) {
            if (!pendingFailure_) pendingFailure_ = failure;
        }
        busy_ = outerBusy;
        line_ = outerLine;
    });
}

void ScriptRunner::checkPendingFailure() {
    if (pendingFailure_) {
        ScriptFailure failure = *pendingFailure_;
        pendingFailure_.reset();
        throw failure;
    }
}

void ScriptRunner::runLine(const ScriptLine& line) {
    const auto& table = verbs();
    const std::string& verb = line.words[0];
    auto it = table.find(verb);
    if (it == table.end()) throw ScriptFailure(line.number, "unknown verb \"" + verb + "\"");
    const Words args(line.words.begin() + 1, line.words.end());
    if (args.size() < it->second.minArgs || args.size() > it->second.maxArgs)
        throw ScriptFailure(line.number, std::string("usage: ") + it->second.usage);
    try {
        (this->*(it->second.run))(args);
        // Headless, the host's idle comes between lines (the windows' host has a timer for it).
        if (modal_ == nullptr && !busy_) options_.afterEvent ? options_.afterEvent() : app_.idle();
    } catch (const ScriptFailure&) {
        throw;
    } catch (const ScriptStop&) {
        throw;
    } catch (const std::exception& e) {
        throw ScriptFailure(line.number, e.what());
    }
}

}  // namespace hostapp
