// Verbs of documents and settings, design points, planes and the selection.
#include "program/script_runner.h"

#include <algorithm>
#include <filesystem>

#include "documents/failure_plan.h"
#include "installation.h"
#include "program/length_units.h"
#include "program/pick_targeting.h"
#include "program/script_verbs.h"
#include "program/view_picker.h"

namespace hostapp {

namespace fs = std::filesystem;

namespace {

std::int32_t parseUnit(const std::string& word) {
    if (const auto unit = unitOfWord(word)) return *unit;
    throw LineError("unknown unit " + word + " (mm, cm, m, in or ft)");
}

}  // namespace

void ScriptRunner::addSessionVerbs(VerbTable& table) {
    table.insert(
        {"open", {1, 4, "open PATH [part|assembly] [units=UNIT] [display=UNIT]", &ScriptRunner::open}});
    table.insert({"install", {1, 1, "install DIR", &ScriptRunner::install}});
    table.insert({"projects", {1, 1, "projects DIR", &ScriptRunner::projects}});
    table.insert({"point", {3, 3, "point X Y Z", &ScriptRunner::point}});
    table.insert({"plane", {4, 4, "plane NAME A B C", &ScriptRunner::plane}});
    table.insert({"select", {0, 1000, "select [ITEM...]", &ScriptRunner::select}});
    table.insert({"close", {0, 0, "close", &ScriptRunner::close}});
    table.insert({"unload", {0, 0, "unload", &ScriptRunner::unload}});
    table.insert({"fail", {1, 2, "fail OPERATION [N]", &ScriptRunner::fail}});
}

void ScriptRunner::close(const Words&) {
    const std::string name = app_.requireSession().name();
    person_.closeDocument(app_);
    out_ << "closed " << name << std::endl;
}

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
    if (!installation::registerInstallFolder(fs::absolute(args[0]).string()))
        throw LineError("cannot write the setting InstallPath");
}

void ScriptRunner::projects(const Words& args) {
    if (!installation::registerProjectsRoot(fs::absolute(args[0]).string()))
        throw LineError("cannot write the setting Projects");
}

void ScriptRunner::point(const Words& args) {
    auto& p = app_.requireSession().addDesignPoint(
        {parseNumber(args[0]), parseNumber(args[1]), parseNumber(args[2])});
    out_ << "point " << p.number() << std::endl;
}

void ScriptRunner::plane(const Words& args) {
    app_.requireSession().addPlane(args[0], parseNumber(args[1]), parseNumber(args[2]), parseNumber(args[3]));
}

void ScriptRunner::select(const Words& args) {
    std::vector<PickItem> items;
    try {
        for (const std::string& item : args) items.push_back(parsePickItem(item));
        app_.setSelection(items);
    } catch (const PickError& e) {
        throw LineError(e.what());
    }
}

void ScriptRunner::unload(const Words&) {
    app_.unloadAddOn();
}

// The N-th call from now of a host operation ("IQDSessions::Item") fails, the next one without N.
void ScriptRunner::fail(const Words& args) {
    long n = 1;
    if (args.size() == 2) {
        const auto number = parseInteger(args[1]);
        if (!number || *number < 1) throw LineError("not a call number: " + args[1]);
        n = *number;
    }
    failurePlan().failNth(args[0], static_cast<int>(n));
}

}  // namespace hostapp
