// Verbs of files, pictures and the programs the add-on starts: pictures of the view and of the
// results window, answers for the file and print dialogs, waiting for a program's output.
#include "program/script_runner.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <utility>

#include "program/script_verbs.h"
#include "program/view_renderer.h"
#include "render/scene_renderer.h"
#include "ui/dialog.h"

namespace hostapp {

namespace fs = std::filesystem;

namespace {

// The W and H of "render|snapshot PATH.png [W H]": 800 x 600 unless given, 16 to 8192 each.
std::pair<int, int> pictureSize(const ScriptRunner::Words& args) {
    if (args.size() != 3) return {800, 600};
    const auto w = parseInteger(args[1]), h = parseInteger(args[2]);
    if (!w || !h || *w < 16 || *h < 16 || *w > 8192 || *h > 8192)
        throw LineError("picture size out of range");
    return {static_cast<int>(*w), static_cast<int>(*h)};
}

}  // namespace

void ScriptRunner::addFileVerbs(VerbTable& table) {
    table.insert({"render", {1, 3, "render PATH.png [W H]", &ScriptRunner::render}});
    table.insert({"frames", {1, 1, "frames N", &ScriptRunner::frames}});
    table.insert({"snapshot", {1, 3, "snapshot PATH.png [W H]", &ScriptRunner::snapshot}});
    table.insert({"wait-file",
                  {1, 100, "wait-file PATH [SECONDS [TEXT...|!FAILURE-TEXT...]]", &ScriptRunner::waitFile}});
    table.insert({"screenshot", {1, 2, "screenshot PATH.png [CAPTION]", &ScriptRunner::screenshot}});
    table.insert({"wait-idle", {0, 0, "wait-idle", &ScriptRunner::waitIdle}});
    table.insert({"wait-solve", {0, 1, "wait-solve [SECONDS]", &ScriptRunner::waitSolve}});
    table.insert({"wait-mesh", {0, 1, "wait-mesh [SECONDS]", &ScriptRunner::waitMesh}});
    table.insert({"answer-file", {1, 1, "answer-file PATH|cancel", &ScriptRunner::answerFile}});
    table.insert(
        {"answer-print", {1, 1, "answer-print PATH.png|PATH.pdf|cancel", &ScriptRunner::answerPrint}});
}

void ScriptRunner::render(const Words& args) {
    if (args.size() == 2) throw LineError("usage: render PATH.png [W H]");
    const auto [width, height] = pictureSize(args);
    const fs::path path = picturePath(args[0]);
    const RasterImage image = app_.viewPicture(width, height);
    if (!image.writePng(path.string())) throw LineError("cannot write " + path.string());
    out_ << "picture: " << path.string() << std::endl;
}

void ScriptRunner::screenshot(const Words& args) {
    if (!options_.screenshot) {
        out_ << "screenshot: no windows in a headless run" << std::endl;
        return;
    }
    const std::string path = picturePath(args[0]);
    options_.screenshot(path, args.size() == 2 ? args[1] : std::string());
    out_ << "screenshot: " << path << std::endl;
}

void ScriptRunner::waitIdle(const Words&) {
    if (options_.waitIdle) options_.waitIdle();
}

// A path of a script is taken inside the output folder unless it is absolute.
std::string ScriptRunner::outputPath(const std::string& path) const {
    fs::path p = path;
    if (p.is_relative()) p = fs::path(options_.outFolder) / p;
    return p.string();
}

// A picture's path, with its folder made.
std::string ScriptRunner::picturePath(const std::string& path) const {
    const fs::path p = outputPath(path);
    std::error_code error;
    if (p.has_parent_path()) fs::create_directories(p.parent_path(), error);
    return p.string();
}

void ScriptRunner::answerFile(const Words& args) {
    prompts_.queueFile(args[0] == "cancel" ? std::nullopt : std::optional<std::string>(outputPath(args[0])));
}

void ScriptRunner::answerPrint(const Words& args) {
    if (args[0] == "cancel") {
        prompts_.queuePrint(std::nullopt);
        return;
    }
    prompts_.queuePrint(ui::PrintTarget{outputPath(args[0])});
}

render::ISceneView& ScriptRunner::sceneView() const {
    ui::Dialog& d = dialog();
    for (int id : d.controlIds())
        if (auto* view = dynamic_cast<render::ISceneView*>(d.widget(id))) return *view;
    throw LineError("dialog \"" + d.windowText() + "\" has no OpenGL view");
}

void ScriptRunner::frames(const Words& args) {
    const auto count = parseInteger(args[0]);
    if (!count || *count < 0 || *count > 100000) throw LineError("usage: frames N (0 to 100000)");
    sceneView().runFrames(static_cast<int>(*count));
}

void ScriptRunner::snapshot(const Words& args) {
    if (args.size() == 2) throw LineError("usage: snapshot PATH.png [W H]");
    render::ISceneView& view = sceneView();
    const auto [width, height] = pictureSize(args);
    const fs::path path = picturePath(args[0]);
    if (!view.snapshot(path.string(), width, height)) throw LineError("cannot write " + path.string());
    out_ << "picture: " << path.string() << std::endl;
}

void ScriptRunner::waitSolve(const Words& args) {
    waitForRun(kSolverRun, "solve", args);
}

void ScriptRunner::waitMesh(const Words& args) {
    waitForRun(kMesherRun, "mesh", args);
}

// Gives the host's idle to the add-on until it has seen the end of its run of `program`, then
// prints the line it showed of the run. Waits for nothing when no such run is followed.
void ScriptRunner::waitForRun(std::int32_t program, const char* noun, const Words& args) {
    const double seconds = args.empty() ? 600.0 : parseNumber(args[0]);
    if (seconds < 0) throw LineError("usage: wait-" + std::string(noun) + " [SECONDS]");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        app_.idle();
        if (!app_.runActive(program)) break;
        if (std::chrono::steady_clock::now() > deadline)
            throw LineError("the " + std::string(noun) + " still runs after " +
                            (args.empty() ? std::string("600") : args[0]) + " s");
        if (options_.pause)
            options_.pause(std::chrono::milliseconds(100));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const std::string text = app_.runText(program);
    out_ << "wait-" << noun << ": " << (text.empty() ? "no " + std::string(noun) + " was started" : text)
         << std::endl;
}

void ScriptRunner::waitFile(const Words& args) {
    const double seconds = args.size() >= 2 ? parseNumber(args[1]) : 60.0;
    const Words texts(args.begin() + std::min<std::size_t>(2, args.size()), args.end());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::uintmax_t lastSize = static_cast<std::uintmax_t>(-1);
    int stableChecks = 0;
    for (;;) {
        std::error_code error;
        const auto size = fs::file_size(args[0], error);
        if (!error && texts.empty()) {
            // The program has finished writing when the size stays the same for a while.
            stableChecks = size == lastSize ? stableChecks + 1 : 0;
            lastSize = size;
            if (stableChecks >= 3) return;
        } else if (!error) {
            // A log the program writes as it goes: done when one of the texts stands in it. A log
            // this script waited on before counts only with what changed since: a second run of a
            // program must not be taken as finished by the first run's last line.
            std::ifstream in(args[0]);
            const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const auto written = fs::last_write_time(args[0], error);
            std::size_t from = 0;
            if (const auto before = matchedLogs_.find(args[0]); before != matchedLogs_.end()) {
                const std::string& old = before->second.content;
                if (content == old && written == before->second.written)
                    from = content.size();  // untouched
                else if (content.size() > old.size() && content.compare(0, old.size(), old) == 0)
                    from = old.size();
            }
            for (const auto& text : texts) {
                // A text marked with a leading '!' is the program's failure: found, it fails the line.
                const bool failure = text.size() > 1 && text[0] == '!';
                const std::string wanted = failure ? text.substr(1) : text;
                const std::size_t at = content.find(wanted, from);
                if (at == std::string::npos) continue;
                matchedLogs_[args[0]] = {content, written};
                if (failure) {
                    const std::size_t end = content.find('\n', at);
                    throw LineError(args[0] + ": " +
                                    content.substr(at, end == std::string::npos ? end : end - at));
                }
                out_ << "found \"" << text << "\" in " << args[0] << std::endl;
                return;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) throw LineError("no finished file " + args[0]);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

}  // namespace hostapp
