// kolvane-host: the stand-in CAD host. It loads the add-on library (build/lib/libKolvane.so) as the
// real host does, and either opens its main window or runs a scripted session:
//
//   kolvane-host [PART.step|PART.brep] [--addon LIBRARY]          the main window
//   kolvane-host --script FILE [--out DIR] [--addon LIBRARY]      a script, headless
//   kolvane-host --gui --script FILE [--out DIR] [PART]           a script in the real windows
//
// Scripts may use $KOLVANE_SAMPLES (the sample parts), $KOLVANE_TARVDIR (the add-on's install
// folder), $KOLVANE_OUT (the output folder) and $KOLVANE_SCRIPT_DIR (the script's folder).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "documents/occt_document.h"
#include "gui/gui_host.h"
#include "platform/settings_store.h"
#include "program/host_application.h"
#include "program/raster_print_page.h"
#include "program/script_session.h"
#include "render/gl/offscreen_scene_renderer.h"
#include "ui/headless_prompts.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kHostKey = "SOFTWARE\\Quarnel, Inc.\\Quarnel Design";

int usage() {
    std::fprintf(stderr,
                 "usage: kolvane-host [PART] [--addon LIBRARY]\n"
                 "       kolvane-host [--gui] --script FILE [--out DIR] [--addon LIBRARY] [PART]\n");
    return 2;
}

// The build folder the program runs from (build/bin/kolvane-host -> build).
fs::path buildFolder() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path() : exe.parent_path().parent_path();
}

void setDefault(const char* name, const fs::path& value) {
    if (std::getenv(name) == nullptr) ::setenv(name, value.string().c_str(), 1);
}

// The host's own install folder, as its installer records it.
void registerHome(const fs::path& home) {
    auto& store = platform::settingsStore();
    if (!store.readValue(platform::Hive::LocalMachine, kHostKey, "HomeDirectory"))
        store.writeValue(platform::Hive::LocalMachine, kHostKey, "HomeDirectory", home.string() + "/");
}

struct Arguments {
    bool gui = false;
    std::string script, out = ".", addon, part;
};

bool parse(int argc, char** argv, Arguments& a) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--script") == 0 && i + 1 < argc) {
            a.script = argv[++i];
        } else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            a.out = argv[++i];
        } else if (std::strcmp(argv[i], "--addon") == 0 && i + 1 < argc) {
            a.addon = argv[++i];
        } else if (std::strcmp(argv[i], "--gui") == 0) {
            a.gui = true;
        } else if (argv[i][0] != '-' && a.part.empty()) {
            a.part = argv[i];
        } else {
            return false;
        }
    }
    // A headless run has no place for a part given beside its script: the script opens its parts.
    return !(a.script.empty() && a.gui) && !(a.gui == false && !a.script.empty() && !a.part.empty());
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!parse(argc, argv, args)) return usage();
    const bool windows = args.script.empty() || args.gui;
    if (windows && !hostapp::gui::displayAvailable()) {
        std::fprintf(stderr,
                     "kolvane-host: the main window needs a display (set DISPLAY), or run a script "
                     "headless with --script FILE\n");
        return 2;
    }

    const fs::path build = buildFolder();
    if (args.addon.empty()) args.addon = (build / "lib" / "libKolvane.so").string();
    std::error_code error;
    fs::create_directories(args.out, error);
    setDefault("KOLVANE_SAMPLES", build / "samples");
    setDefault("KOLVANE_TARVDIR", build / "tarvdir");
    ::setenv("KOLVANE_OUT", fs::absolute(args.out).string().c_str(), 1);
    if (!args.script.empty())
        ::setenv("KOLVANE_SCRIPT_DIR", fs::absolute(args.script).parent_path().string().c_str(), 1);

    hostapp::silenceOcctMessages();
    // The add-on's results window draws off screen here.
    render::gl::installOffscreenSceneRenderer();
    // Prints to a name other than ".pdf" become PNG pages.
    hostapp::installRasterPrintPages();
    registerHome(build);

    hostapp::ScriptSession session;
    session.scriptPath = args.script;
    session.addOnPath = args.addon;
    session.options.outFolder = args.out;
    if (windows) return hostapp::gui::runGui(argc, argv, session, args.part);
    auto prompts = ui::installHeadlessPrompts();
    hostapp::HostApplication app;
    return hostapp::runScriptSession(app, *prompts, session, std::cout);
}
