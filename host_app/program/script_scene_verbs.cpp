// Verbs of a person's pointer on an OpenGL view: drags, the wheel and probe clicks on the results
// window's view inside its on-modal block (or on the host's main view when the dialog a line acts
// on has no OpenGL view), the count of probed nodes, and the rate at which the view draws.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "program/script_runner.h"
#include "program/script_verbs.h"
#include "render/scene_renderer.h"
#include "ui/dialog.h"

namespace hostapp {

namespace {

int wholeNumber(const std::string& word, long low, long high, const char* usage) {
    const auto value = parseInteger(word);
    if (!value || *value < low || *value > high) throw LineError(std::string("usage: ") + usage);
    return static_cast<int>(*value);
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw LineError("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

void ScriptRunner::addSceneVerbs(VerbTable& table) {
    table.insert({"drag-view", {2, 3, "drag-view DX DY [rotate|pan|zoom]", &ScriptRunner::dragView}});
    table.insert({"wheel", {1, 1, "wheel N", &ScriptRunner::wheel}});
    table.insert({"probe-at", {2, 2, "probe-at X Y", &ScriptRunner::probeAt}});
    table.insert({"expect-probed", {1, 1, "expect-probed N|N+", &ScriptRunner::expectProbed}});
    table.insert({"frame-rate", {1, 1, "frame-rate SECONDS", &ScriptRunner::frameRate}});
    table.insert({"expect-different", {2, 2, "expect-different FILE FILE", &ScriptRunner::expectDifferent}});
}

ScriptRunner::SceneTarget ScriptRunner::sceneTarget() const {
    // No dialog open at all: the main view.
    if (!inCaption_ && modal_ == nullptr && ui::newestDialog() == nullptr) return {};
    ui::Dialog& d = dialog();
    for (int id : d.controlIds())
        if (auto* view = dynamic_cast<render::ISceneView*>(d.widget(id))) return {&d, id, view};
    return {};
}

void ScriptRunner::dragView(const Words& args) {
    const int dx = wholeNumber(args[0], -4000, 4000, "drag-view DX DY [rotate|pan|zoom]");
    const int dy = wholeNumber(args[1], -4000, 4000, "drag-view DX DY [rotate|pan|zoom]");
    const std::string how = args.size() == 3 ? args[2] : "rotate";
    if (how != "rotate" && how != "pan" && how != "zoom")
        throw LineError("usage: drag-view DX DY [rotate|pan|zoom]");
    const SceneTarget target = sceneTarget();
    if (target.view == nullptr) {
        if (how == "zoom") throw LineError("the main view zooms with the wheel");
        person_.dragView(app_, dx, dy, how == "rotate");
        return;
    }
    const SceneDrag drag = how == "pan"    ? SceneDrag::Pan
                           : how == "zoom" ? SceneDrag::Zoom
                                           : SceneDrag::Rotate;
    person_.dragScene(*target.dialog, target.id, *target.view, dx, dy, drag);
}

void ScriptRunner::wheel(const Words& args) {
    const int notches = wholeNumber(args[0], -100, 100, "wheel N (-100 to 100)");
    const SceneTarget target = sceneTarget();
    if (target.view == nullptr) {
        person_.wheelView(app_, notches);
        return;
    }
    person_.wheelScene(*target.dialog, target.id, *target.view, notches);
}

void ScriptRunner::probeAt(const Words& args) {
    const SceneTarget target = sceneTarget();
    if (target.view == nullptr) throw LineError("probe-at needs a dialog with an OpenGL view");
    const auto [left, top, right, bottom] = target.view->placement();
    const int x = wholeNumber(args[0], 0, right - left - 1, "probe-at X Y (pixels inside the view)");
    const int y = wholeNumber(args[1], 0, bottom - top - 1, "probe-at X Y (pixels inside the view)");
    person_.probeScene(*target.dialog, target.id, *target.view, x, y);
}

void ScriptRunner::expectProbed(const Words& args) {
    const bool atLeast = !args[0].empty() && args[0].back() == '+';
    const int wanted = wholeNumber(atLeast ? args[0].substr(0, args[0].size() - 1) : args[0], 0, 1 << 30,
                                   "expect-probed N|N+");
    const int probed = sceneView().probedNodes();
    if (atLeast ? probed < wanted : probed != wanted)
        throw LineError("expected " + args[0] + " probed nodes, found " + std::to_string(probed));
}

// Headless runs draw frames back to back off screen; the GUI's view draws on its own timer while
// the windows run.
void ScriptRunner::frameRate(const Words& args) {
    const double seconds = parseNumber(args[0]);
    if (!(seconds > 0 && seconds <= 600)) throw LineError("usage: frame-rate SECONDS (up to 600)");
    render::ISceneView& view = sceneView();
    const int before = view.framesDrawn();
    const auto start = std::chrono::steady_clock::now();
    const auto until = start + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        if (options_.waitIdle) {
            options_.waitIdle();
        } else {
            view.runFrames(1);
        }
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int frames = view.framesDrawn() - before;
    char line[128];
    std::snprintf(line, sizeof line, "frame rate: %.1f frames per second (%d frames in %.2f s)",
                  frames / elapsed, frames, elapsed);
    out_ << line << std::endl;
}

void ScriptRunner::expectDifferent(const Words& args) {
    const std::string a = outputPath(args[0]), b = outputPath(args[1]);
    if (contentOf(a) == contentOf(b)) throw LineError(a + " and " + b + " are the same");
}

}  // namespace hostapp
