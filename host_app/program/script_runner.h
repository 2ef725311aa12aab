#pragma once
// Runs a script of host actions headless: documents, settings, design points and planes, menu
// picks, selections, and a person's actions on the add-on's dialogs, with checks and pictures.
// Every message box is printed as "message: TEXT". A failed check or an invalid line stops the
// run with a ScriptFailure naming the line.
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "program/host_application.h"
#include "program/person.h"
#include "program/script_lexer.h"
#include "ui/headless_prompts.h"

namespace ui {
class Dialog;
}

namespace render {
class ISceneView;
}

namespace hostapp {

class ScriptFailure : public std::runtime_error {
  public:
    ScriptFailure(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
    int line() const { return line_; }

  private:
    int line_;
};

// Thrown by "stop-if-message": the run ends early, successfully, at the line that asked for it.
class ScriptStop : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct ScriptOptions {
    std::string outFolder = ".";  // where relative picture paths go
    Person* person = nullptr;     // how a person's actions are carried out; headless when null
    // The host's work after each line (the GUI's also updates its windows); the host
    // application's own when empty.
    std::function<void()> afterEvent;
    // What the GUI adds: a picture of the main window or of the dialog with `caption` (empty: the
    // main window) as a person sees it, and waiting until the windows have settled. Headless runs
    // have no windows: the lines say so and do nothing.
    std::function<void(const std::string& path, const std::string& caption)> screenshot;
    std::function<void()> waitIdle;
    // Lets the windows go on for a while (wait-solve and wait-mesh between their looks); headless
    // runs sleep.
    std::function<void(std::chrono::milliseconds)> pause;
};

class ScriptRunner {
  public:
    ScriptRunner(HostApplication& app, ui::HeadlessPrompts& prompts, std::ostream& out,
                 ScriptOptions options);
    ~ScriptRunner();

    // Runs the lines in order; throws ScriptFailure at the first failing line, ScriptStop when a
    // "stop-if-message" line found its message.
    void run(const std::vector<ScriptLine>& lines);

    using Words = std::vector<std::string>;

  private:
    struct Verb {
        std::size_t minArgs;
        std::size_t maxArgs;
        const char* usage;
        void (ScriptRunner::*run)(const Words& args);
    };
    using VerbTable = std::map<std::string, Verb>;
    static const VerbTable& verbs();
    // Each family of verbs adds its own to the table.
    static void addSessionVerbs(VerbTable& table);  // documents, settings, points, planes, picks
    static void addMenuVerbs(VerbTable& table);     // the add-on's menu and the explorer's tree
    static void addDialogVerbs(VerbTable& table);   // a person's actions on dialogs
    static void addCheckVerbs(VerbTable& table);    // checks and printed output
    static void addFileVerbs(VerbTable& table);     // pictures, file and print answers, programs' files
    static void addViewVerbs(VerbTable& table);     // the 3-D view: picks, standard views, its pixels
    static void addSceneVerbs(VerbTable& table);    // the pointer on OpenGL views

    // Runs lines[from...] up to the end or the "end" closing a block; answers the index after it.
    std::size_t runBlock(const std::vector<ScriptLine>& lines, std::size_t from, bool inModal);
    void runLine(const ScriptLine& line);
    std::size_t registerModal(const std::vector<ScriptLine>& lines, std::size_t at);
    std::size_t registerBusy(const std::vector<ScriptLine>& lines, std::size_t at);
    // Runs line `index` of an on-busy block at the next hand-on of messages, then the next one.
    void busyLine(std::shared_ptr<const std::vector<ScriptLine>> block, std::size_t index);
    // The line of the "end" of the block whose head is at `at`.
    static std::size_t blockEnd(const std::vector<ScriptLine>& lines, std::size_t at);
    void checkPendingFailure();

    // ---- the verbs ----
    void open(const Words& args);
    void close(const Words& args);
    void install(const Words& args);
    void projects(const Words& args);
    void point(const Words& args);
    void plane(const Words& args);
    void menu(const Words& args);
    void state(const Words& args);
    void select(const Words& args);
    void in(const Words& args);
    void type(const Words& args);
    void click(const Words& args);
    void choose(const Words& args);
    void slide(const Words& args);
    void prop(const Words& args);
    void cell(const Words& args);
    void focus(const Words& args);
    void tree(const Words& args);
    void accept(const Words& args);
    void cancel(const Words& args);
    void expectMessage(const Words& args);
    void expectInFront(const Words& args);
    void expectText(const Words& args);
    void expectFile(const Words& args);
    void stopIfMessage(const Words& args);
    void expectState(const Words& args);
    void mark(const Words& args);
    void pick(const Words& args);
    void view(const Words& args);
    void expectPixel(const Words& args);
    void expectContourAt(const Words& args);
    void viewFrameRate(const Words& args);
    // Where the middle of the box of the face, edge or vertex ITEM falls in the view.
    ViewPoint projectedCentre(const std::string& item);
    void expectWithin(const Words& args);
    void print(const Words& args);
    void printEntities(EntityType type);
    void render(const Words& args);
    void answerFile(const Words& args);
    void answerPrint(const Words& args);
    std::string outputPath(const std::string& path) const;
    std::string picturePath(const std::string& path) const;
    // The results window's OpenGL view: timer ticks and off-screen pictures inside its on-modal block.
    void frames(const Words& args);
    void snapshot(const Words& args);
    render::ISceneView& sceneView() const;
    // The pointer on an OpenGL view (script_scene_verbs.cpp).
    void dragView(const Words& args);
    void wheel(const Words& args);
    void probeAt(const Words& args);
    void expectProbed(const Words& args);
    void frameRate(const Words& args);
    void expectDifferent(const Words& args);
    // The OpenGL view of the dialog a line acts on; no view when no dialog is open or it has none.
    struct SceneTarget {
        ui::Dialog* dialog = nullptr;
        int id = 0;
        render::ISceneView* view = nullptr;
    };
    SceneTarget sceneTarget() const;
    void waitFile(const Words& args);
    // The add-on's programs as HostApplication::runActive numbers them.
    static constexpr std::int32_t kMesherRun = 0;
    static constexpr std::int32_t kSolverRun = 1;
    void waitSolve(const Words& args);
    void waitMesh(const Words& args);
    void waitForRun(std::int32_t program, const char* noun, const Words& args);
    void unload(const Words& args);
    void screenshot(const Words& args);
    void waitIdle(const Words& args);
    void fail(const Words& args);

    // ---- helpers ----
    ui::Dialog& dialog() const;
    int controlId(const ui::Dialog& d, const std::string& word) const;
    std::int32_t menuId(const std::string& word) const;

    HostApplication& app_;
    ui::HeadlessPrompts& prompts_;
    Person headless_;
    Person& person_;
    std::ostream& out_;
    ScriptOptions options_;
    int line_ = 0;
    std::optional<std::string> inCaption_;  // the dialog lines act on; the newest when empty
    ui::Dialog* modal_ = nullptr;           // the modal dialog a block runs in
    bool busy_ = false;                     // an on-busy block runs inside a handler
    std::optional<std::chrono::steady_clock::time_point> mark_;  // set by "mark"
    std::size_t messagesChecked_ = 0;              // messages before this index have been matched
    std::optional<ScriptFailure> pendingFailure_;  // a failure inside a modal run
    std::vector<std::vector<ScriptLine>> modalBlocks_;
    struct MatchedLog {
        std::string content;
        std::filesystem::file_time_type written;
    };
    std::map<std::string, MatchedLog>
        matchedLogs_;  // a log as it stood when wait-file last found a text in it
};

// Parses a whole number; nothing when `word` is not one.
std::optional<long> parseInteger(const std::string& word);

}  // namespace hostapp
