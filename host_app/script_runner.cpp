#include "script_runner.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "part_renderer.h"
#include "platform/settings_store.h"
#include "render/scene_renderer.h"
#include "raster_canvas.h"
#include "ui/dialog.h"
#include "ui/tree_control.h"
#include "view_device.h"
#include "widget_actions.h"

namespace hostapp {

namespace fs = std::filesystem;

namespace {

constexpr const char* kAddOnKey = "Software\\Tarvenic";
constexpr const char* kValuesKey = "Software\\Tarvenic\\Tarvenic";
constexpr int kExplorerTreeId = 10;
constexpr int kTreeMenuModify = 32771;
constexpr int kTreeMenuDelete = 32772;
constexpr const char* kModifyCaption = "Modify Data";
constexpr int kTextEntryEditId = 11;

class LineError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

double parseNumber(const std::string& word) {
    try {
        std::size_t used = 0;
        const double value = std::stod(word, &used);
        if (used == word.size()) return value;
    } catch (const std::exception&) {
    }
    throw LineError("not a number: " + word);
}

std::int32_t parseUnit(const std::string& word) {
    if (word == "mm") return host::kUnitMm;
    if (word == "cm") return host::kUnitCm;
    if (word == "m") return host::kUnitM;
    if (word == "in") return host::kUnitIn;
    if (word == "ft") return host::kUnitFt;
    throw LineError("unknown unit " + word + " (mm, cm, m, in or ft)");
}

// The text a person sees in a control: a list's chosen item, else the control's text.
std::string shownText(const ui::Dialog& d, int id) {
    const ui::Control& c = d.control(id);
    if (c.kind() == ui::ControlKind::ListBox) return c.selection >= 0 ? d.itemText(id, c.selection) : "";
    return d.text(id);
}

}  // namespace

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

const std::map<std::string, ScriptRunner::Verb>& ScriptRunner::verbs() {
    static const std::map<std::string, Verb> table = {
        {"open", {1, 4, "open PATH [part|assembly] [units=UNIT] [display=UNIT]", &ScriptRunner::open}},
        {"install", {1, 1, "install DIR", &ScriptRunner::install}},
        {"projects", {1, 1, "projects DIR", &ScriptRunner::projects}},
        {"point", {3, 3, "point X Y Z", &ScriptRunner::point}},
        {"plane", {4, 4, "plane NAME A B C", &ScriptRunner::plane}},
        {"menu", {1, 1, "menu ID", &ScriptRunner::menu}},
        {"state", {1, 1, "state ID", &ScriptRunner::state}},
        {"select", {0, 1000, "select [ITEM...]", &ScriptRunner::select}},
        {"in", {0, 1, "in [CAPTION]", &ScriptRunner::in}},
        {"type", {2, 2, "type ID TEXT", &ScriptRunner::type}},
        {"click", {1, 1, "click ID", &ScriptRunner::click}},
        {"choose", {2, 2, "choose ID INDEX-or-TEXT", &ScriptRunner::choose}},
        {"slide", {2, 2, "slide ID POS", &ScriptRunner::slide}},
        {"prop", {2, 2, "prop LABEL VALUE", &ScriptRunner::prop}},
        {"cell", {3, 3, "cell ROW COL TEXT", &ScriptRunner::cell}},
        {"focus", {2, 2, "focus ROW COL", &ScriptRunner::focus}},
        {"tree", {2, 3, "tree TEXT modify [NEWTEXT] | tree TEXT delete", &ScriptRunner::tree}},
        {"accept", {0, 0, "accept", &ScriptRunner::accept}},
        {"cancel", {0, 0, "cancel", &ScriptRunner::cancel}},
        {"expect-message", {1, 1, "expect-message TEXT", &ScriptRunner::expectMessage}},
        {"expect-text", {2, 2, "expect-text ID TEXT", &ScriptRunner::expectText}},
        {"expect-file", {1, 1, "expect-file PATH", &ScriptRunner::expectFile}},
        {"stop-if-message", {1, 1, "stop-if-message TEXT", &ScriptRunner::stopIfMessage}},
        {"expect-state", {2, 2, "expect-state ID STATE", &ScriptRunner::expectState}},
        {"print", {1, 1, "print ID|tree|menu|faces|edges|vertices", &ScriptRunner::print}},
        {"render", {1, 3, "render PATH.png [W H]", &ScriptRunner::render}},
        {"frames", {1, 1, "frames N", &ScriptRunner::frames}},
        {"snapshot", {1, 3, "snapshot PATH.png [W H]", &ScriptRunner::snapshot}},
        {"wait-file", {1, 100, "wait-file PATH [SECONDS [TEXT...]]", &ScriptRunner::waitFile}},
        {"unload", {0, 0, "unload", &ScriptRunner::unload}},
        {"answer-file", {1, 1, "answer-file PATH|cancel", &ScriptRunner::answerFile}},
        {"answer-print", {1, 1, "answer-print PATH.png|PATH.pdf|cancel", &ScriptRunner::answerPrint}},
    };
    return table;
}

ScriptRunner::ScriptRunner(HostApplication& app, ui::HeadlessPrompts& prompts, std::ostream& out,
                           ScriptOptions options)
    : app_(app), prompts_(prompts), out_(out), options_(std::move(options)) {
    prompts_.setMessageListener(
        [this](const ui::RecordedMessage& m) { out_ << "message: " << m.text << std::endl; });
}

ScriptRunner::~ScriptRunner() {
    prompts_.setMessageListener(nullptr);
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
        runLine(line);
        ++i;
        if (inModal && (verb == "accept" || verb == "cancel")) return lines.size();
        if (!inModal) checkPendingFailure();
    }
    return i;
}

std::size_t ScriptRunner::registerModal(const std::vector<ScriptLine>& lines, std::size_t at) {
    const ScriptLine& head = lines[at];
    if (head.words.size() < 2 || head.words.size() > 3 ||
        (head.words.size() == 3 && head.words[2] != "always"))
        throw ScriptFailure(head.number, "usage: on-modal CAPTION [always] ... end");
    // The block runs to its own "end"; blocks may hold blocks (a modal window opening another).
    int depth = 0;
    std::size_t end = at + 1;
    for (; end < lines.size(); ++end) {
        const std::string& verb = lines[end].words[0];
        if (verb == "on-modal") ++depth;
        if (verb == "end" && depth-- == 0) break;
    }
    if (end == lines.size()) throw ScriptFailure(head.number, "\"on-modal\" without \"end\"");
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
        if (modal_ == nullptr) app_.afterEvent();
    } catch (const ScriptFailure&) {
        throw;
    } catch (const ScriptStop&) {
        throw;
    } catch (const std::exception& e) {
        throw ScriptFailure(line.number, e.what());
    }
}

// ---- helpers ----

ui::Dialog& ScriptRunner::dialog() const {
    if (inCaption_) {
        if (ui::Dialog* d = ui::findDialog(*inCaption_)) return *d;
        throw LineError("no open dialog \"" + *inCaption_ + "\"");
    }
    if (modal_ != nullptr) return *modal_;
    if (ui::Dialog* d = ui::newestDialog()) return *d;
    throw LineError("no dialog is open");
}

int ScriptRunner::controlId(const ui::Dialog& d, const std::string& word) const {
    if (auto id = parseInteger(word)) {
        if (!d.hasControl(static_cast<int>(*id)))
            throw LineError("dialog \"" + d.windowText() + "\" has no control " + word);
        return static_cast<int>(*id);
    }
    // A control may also be named by its text ("APPLY").
    for (int id : d.controlIds()) {
        if (d.text(id) == word) return id;
    }
    throw LineError("dialog \"" + d.windowText() + "\" has no control \"" + word + "\"");
}

std::int32_t ScriptRunner::menuId(const std::string& word) const {
    if (auto id = parseInteger(word)) return static_cast<std::int32_t>(*id);
    if (auto id = app_.menuIdOf(word)) return *id;
    throw LineError("no menu item \"" + word + "\"");
}

void ScriptRunner::writeSetting(const std::string& name, const std::string& value) {
    auto& store = platform::settingsStore();
    // As the set-up does: the add-on's key first, then the value in its sub-key.
    store.createKey(platform::Hive::CurrentUser, kAddOnKey);
    if (!store.writeValue(platform::Hive::CurrentUser, kValuesKey, name, value))
        throw LineError("cannot write the setting " + name);
}

// ---- documents and settings ----

void ScriptRunner::open(const Words& args) {
    SessionOptions options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "part") {
            options.assembly = false;
        } else if (word == "assembly") {
            options.assembly = true;
        } else if (word.rfind("units=", 0) == 0) {
            options.modelUnit = parseUnit(word.substr(6));
        } else if (word.rfind("display=", 0) == 0) {
            options.displayUnit = parseUnit(word.substr(8));
        } else {
            throw LineError("unknown option \"" + word + "\"");
        }
    }
    if (args.size() >= 2 && std::none_of(args.begin() + 1, args.end(),
                                         [](const auto& w) { return w.rfind("display=", 0) == 0; })) {
        options.displayUnit = options.modelUnit;
    }
    HostSession& session = app_.openDocument(args[0], options);
    const OcctDocument& doc = session.document();
    out_ << "opened " << session.name() << " (" << (session.isPart() ? "part" : "assembly")
         << "): " << doc.bodyCount() << " bodies, " << doc.totalCount(EntityType::Face) << " faces, "
         << doc.totalCount(EntityType::Edge) << " edges, " << doc.totalCount(EntityType::Vertex)
         << " vertices" << std::endl;
}

void ScriptRunner::install(const Words& args) {
    writeSetting("InstallPath", fs::absolute(args[0]).string());
}

void ScriptRunner::projects(const Words& args) {
    writeSetting("Projects", fs::absolute(args[0]).string());
}

void ScriptRunner::point(const Words& args) {
    auto& p = app_.requireSession().addDesignPoint(
        {parseNumber(args[0]), parseNumber(args[1]), parseNumber(args[2])});
    out_ << "point " << p.number() << std::endl;
}

void ScriptRunner::plane(const Words& args) {
    app_.requireSession().addPlane(args[0], parseNumber(args[1]), parseNumber(args[2]), parseNumber(args[3]));
}

// ---- menu and selection ----

void ScriptRunner::menu(const Words& args) {
    app_.invoke(menuId(args[0]));
}

void ScriptRunner::state(const Words& args) {
    const std::int32_t id = menuId(args[0]);
    out_ << "state " << id << ": " << app_.itemState(id) << std::endl;
}

void ScriptRunner::select(const Words& args) {
    HostSession& session = app_.requireSession();
    const OcctDocument& doc = session.document();
    std::vector<platform::RefPtr<platform::IUnknown>> picked;
    for (const std::string& item : args) {
        const auto colon = item.find(':');
        if (colon == std::string::npos)
            throw LineError("not a pick: " + item + " (face:N, edge:N, vertex:N, point:N, plane:NAME)");
        const std::string what = item.substr(0, colon);
        const std::string which = item.substr(colon + 1);
        if (what == "plane") {
            HostPlane* plane = session.plane(which);
            if (plane == nullptr) throw LineError("no plane " + which);
            picked.emplace_back(plane);
            continue;
        }
        const auto number = parseInteger(which);
        if (!number) throw LineError("not a number: " + which);
        if (what == "point") {
            const auto& points = session.designPoints();
            if (*number < 1 || *number > static_cast<long>(points.size()))
                throw LineError("no design point " + which);
            picked.emplace_back(points[static_cast<std::size_t>(*number - 1)].get());
            continue;
        }
        EntityType type;
        if (what == "face") {
            type = EntityType::Face;
        } else if (what == "edge") {
            type = EntityType::Edge;
        } else if (what == "vertex") {
            type = EntityType::Vertex;
        } else {
            throw LineError("not a pick: " + item);
        }
        const auto ref = doc.fromGlobalNumber(type, static_cast<int>(*number));
        if (!ref) throw LineError("the part has no " + what + " " + which);
        picked.emplace_back(makeEntity(session.documentPtr(), *ref, !session.isPart()).get());
    }
    session.selection().replace(std::move(picked));
    for (const auto& command : app_.running()) {
        if (command->session == session.name()) command->command->OnSelectionChanged();
    }
}

// ---- dialogs ----

void ScriptRunner::in(const Words& args) {
    if (args.empty()) {
        inCaption_.reset();
        return;
    }
    if (ui::findDialog(args[0]) == nullptr) throw LineError("no open dialog \"" + args[0] + "\"");
    inCaption_ = args[0];
}

void ScriptRunner::type(const Words& args) {
    ui::Dialog& d = dialog();
    const int id = controlId(d, args[0]);
    if (!d.userType(id, args[1])) throw LineError("control " + args[0] + " cannot take text now");
}

void ScriptRunner::click(const Words& args) {
    ui::Dialog& d = dialog();
    const int id = controlId(d, args[0]);
    if (!d.userClick(id)) throw LineError("control " + args[0] + " cannot be clicked now");
}

void ScriptRunner::choose(const Words& args) {
    ui::Dialog& d = dialog();
    const int id = controlId(d, args[0]);
    int index = d.findItemExact(id, args[1]);
    if (index < 0) {
        const auto number = parseInteger(args[1]);
        if (!number) throw LineError("control " + args[0] + " has no item \"" + args[1] + "\"");
        index = static_cast<int>(*number);
    }
    if (!d.userChoose(id, index)) throw LineError("cannot choose item " + args[1] + " of control " + args[0]);
}

void ScriptRunner::slide(const Words& args) {
    ui::Dialog& d = dialog();
    const int id = controlId(d, args[0]);
    const auto position = parseInteger(args[1]);
    if (!position) throw LineError("not a number: " + args[1]);
    if (!d.userSlide(id, static_cast<int>(*position)))
        throw LineError("control " + args[0] + " cannot slide now");
}

void ScriptRunner::prop(const Words& args) {
    setProperty(dialog(), args[0], args[1]);
}

void ScriptRunner::cell(const Words& args) {
    const auto row = parseInteger(args[0]), column = parseInteger(args[1]);
    if (!row || !column) throw LineError("usage: cell ROW COL TEXT");
    editCell(dialog(), static_cast<int>(*row), static_cast<int>(*column), args[2]);
}

void ScriptRunner::focus(const Words& args) {
    const auto row = parseInteger(args[0]), column = parseInteger(args[1]);
    if (!row || !column) throw LineError("usage: focus ROW COL");
    focusCell(dialog(), static_cast<int>(*row), static_cast<int>(*column));
}

void ScriptRunner::tree(const Words& args) {
    HostSession& session = app_.requireSession();
    ui::Panel* panel = app_.panelOf(session.name());
    auto* tree = panel ? dynamic_cast<ui::TreeControl*>(panel->child(kExplorerTreeId)) : nullptr;
    if (tree == nullptr) throw LineError("the FEM Explorer is not shown for " + session.name());
    const ui::TreeItem item = tree->findItem(args[0]);
    if (item == ui::kTreeRoot) throw LineError("the explorer has no line \"" + args[0] + "\"");
    if (args[1] == "modify") {
        prompts_.queueMenuChoice(kTreeMenuModify);
        // Without a new text the "Modify Data" window runs the script's own on-modal block.
        if (args.size() == 3) {
            const std::string newText = args[2];
            prompts_.queueModal(kModifyCaption, [newText](ui::Dialog& d) {
                d.userType(kTextEntryEditId, newText);
                d.userClick(ui::kIdOk);
            });
        }
    } else if (args[1] == "delete" && args.size() == 2) {
        prompts_.queueMenuChoice(kTreeMenuDelete);
    } else {
        throw LineError("usage: tree TEXT modify [NEWTEXT] | tree TEXT delete");
    }
    tree->userContextMenu(item);
}

void ScriptRunner::accept(const Words&) {
    if (modal_ == nullptr) throw LineError("accept outside an on-modal block");
    ui::Dialog& d = *modal_;
    if (d.hasControl(ui::kIdOk)) {
        if (!d.userClick(ui::kIdOk)) throw LineError("OK cannot be pressed now");
    } else {
        d.userPressEnter();
    }
}

void ScriptRunner::cancel(const Words&) {
    if (modal_ == nullptr) throw LineError("cancel outside an on-modal block");
    modal_->userPressEscape();
}

// ---- checks and output ----

void ScriptRunner::expectMessage(const Words& args) {
    const auto& messages = prompts_.messages();
    for (std::size_t i = messagesChecked_; i < messages.size(); ++i) {
        if (messages[i].text == args[0]) {
            messagesChecked_ = i + 1;
            return;
        }
    }
    std::string seen;
    for (std::size_t i = messagesChecked_; i < messages.size(); ++i)
        seen += "\n  \"" + messages[i].text + "\"";
    throw LineError("no message \"" + args[0] + "\"" +
                    (seen.empty() ? " (no new messages)" : "; new messages:" + seen));
}

void ScriptRunner::expectText(const Words& args) {
    ui::Dialog& d = dialog();
    const int id = controlId(d, args[0]);
    const std::string text = shownText(d, id);
    if (text != args[1])
        throw LineError("control " + args[0] + " shows \"" + text + "\", not \"" + args[1] + "\"");
}

void ScriptRunner::expectFile(const Words& args) {
    if (!fs::exists(args[0])) throw LineError("no file " + args[0]);
}

void ScriptRunner::stopIfMessage(const Words& args) {
    const auto& messages = prompts_.messages();
    for (std::size_t i = messagesChecked_; i < messages.size(); ++i) {
        if (messages[i].text == args[0]) throw ScriptStop("line " + std::to_string(line_) + ": " + args[0]);
    }
}

void ScriptRunner::expectState(const Words& args) {
    const std::int32_t id = menuId(args[0]);
    const std::int32_t state = app_.itemState(id);
    if (std::to_string(state) != args[1])
        throw LineError("item " + args[0] + " has state " + std::to_string(state) + ", not " + args[1]);
}

void ScriptRunner::print(const Words& args) {
    if (args[0] == "tree") {
        HostSession& session = app_.requireSession();
        ui::Panel* panel = app_.panelOf(session.name());
        auto* tree = panel ? dynamic_cast<ui::TreeControl*>(panel->child(kExplorerTreeId)) : nullptr;
        if (tree == nullptr) throw LineError("the FEM Explorer is not shown for " + session.name());
        out_ << tree->dump() << std::flush;
        return;
    }
    if (args[0] == "faces" || args[0] == "edges" || args[0] == "vertices") {
        printEntities(args[0] == "faces" ? EntityType::Face : args[0] == "edges" ? EntityType::Edge : EntityType::Vertex);
        return;
    }
    if (args[0] == "menu") {
        for (const auto& entry : app_.menu())
            out_ << std::string(2 * entry.depth, ' ') << entry.id << " " << entry.text << std::endl;
        return;
    }
    ui::Dialog& d = dialog();
    const int id = controlId(d, args[0]);
    if (auto dump = widgetDump(d, id)) {
        out_ << id << ":\n" << *dump << std::flush;
        return;
    }
    out_ << id << ": " << shownText(d, id) << std::endl;
    if (d.control(id).hasItems()) {
        for (int i = 0; i < d.itemCount(id); ++i)
            out_ << "  " << (i == d.selection(id) ? "* " : "  ") << d.itemText(id, i) << std::endl;
    }
}

// One line per face, edge or vertex in the numbering `select` uses, with its body and box (a
// vertex: its position), so a script writer can tell which number to pick.
void ScriptRunner::printEntities(EntityType type) {
    const OcctDocument& doc = app_.requireSession().document();
    const char* word = type == EntityType::Face ? "face" : type == EntityType::Edge ? "edge" : "vertex";
    for (int n = 1; n <= doc.totalCount(type); ++n) {
        const EntityRef ref = *doc.fromGlobalNumber(type, n);
        const auto [low, high] = doc.corners(ref);
        char line[200];
        if (type == EntityType::Vertex) {
            std::snprintf(line, sizeof line, "vertex %d: body %d, at %g %g %g", n, ref.body + 1, low.x, low.y, low.z);
        } else {
            const int written = std::snprintf(line, sizeof line, "%s %d: body %d, ", word, n, ref.body + 1);
            if (type == EntityType::Face)
                std::snprintf(line + written, sizeof line - written, "kind %d, ", doc.surface(ref).kind);
            const std::size_t used = std::strlen(line);
            std::snprintf(line + used, sizeof line - used, "box %g %g %g to %g %g %g", low.x, low.y, low.z, high.x,
                          high.y, high.z);
        }
        out_ << line << std::endl;
    }
}

void ScriptRunner::render(const Words& args) {
    if (args.size() == 2) throw LineError("usage: render PATH.png [W H]");
    int width = 800, height = 600;
    if (args.size() == 3) {
        const auto w = parseInteger(args[1]), h = parseInteger(args[2]);
        if (!w || !h || *w < 16 || *h < 16 || *w > 8192 || *h > 8192)
            throw LineError("picture size out of range");
        width = static_cast<int>(*w);
        height = static_cast<int>(*h);
    }
    const fs::path path = picturePath(args[0]);
    HostSession& session = app_.requireSession();
    app_.fitView(width, height);
    RasterImage image(width, height);
    renderPart(session.document(), app_.camera(), image);
    drawCommands3D(app_, app_.camera(), image);
    RasterCanvas canvas(image);
    app_.drawOverlays(canvas);
    if (!image.writePng(path.string())) throw LineError("cannot write " + path.string());
    out_ << "picture: " << path.string() << std::endl;
}

// ---- output paths; answers for the next file and print dialogs ----

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
    int width = 800, height = 600;
    if (args.size() == 3) {
        const auto w = parseInteger(args[1]), h = parseInteger(args[2]);
        if (!w || !h || *w < 16 || *h < 16 || *w > 8192 || *h > 8192) throw LineError("picture size out of range");
        width = static_cast<int>(*w);
        height = static_cast<int>(*h);
    }
    const fs::path path = picturePath(args[0]);
    if (!view.snapshot(path.string(), width, height)) throw LineError("cannot write " + path.string());
    out_ << "picture: " << path.string() << std::endl;
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
                if (content == old && written == before->second.written) from = content.size();  // untouched
                else if (content.size() > old.size() && content.compare(0, old.size(), old) == 0) from = old.size();
            }
            for (const auto& text : texts) {
                if (content.find(text, from) != std::string::npos) {
                    out_ << "found \"" << text << "\" in " << args[0] << std::endl;
                    matchedLogs_[args[0]] = {content, written};
                    return;
                }
            }
        }
        if (std::chrono::steady_clock::now() > deadline) throw LineError("no finished file " + args[0]);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void ScriptRunner::unload(const Words&) {
    app_.unloadAddOn();
}

}  // namespace hostapp
