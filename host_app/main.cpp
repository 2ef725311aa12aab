// kolvane-host: the stand-in CAD host. It loads the add-on library (build/lib/libKolvane.so) as the
// real host does and runs a scripted session headless:
//
//   kolvane-host --script FILE [--out DIR] [--addon LIBRARY]
//
// Scripts may use $KOLVANE_SAMPLES (the sample parts), $KOLVANE_TARVDIR (the add-on's install
// folder), $KOLVANE_OUT (the output folder) and $KOLVANE_SCRIPT_DIR (the script's folder).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "host_application.h"
#include "occt_document.h"
#include "platform/settings_store.h"
#include "raster_print_page.h"
#include "render/gl/offscreen_scene_renderer.h"
#include "script_runner.h"
#include "ui/headless_prompts.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kHostKey = "SOFTWARE\\Quarnel, Inc.\\Quarnel Design";

int usage() {
    std::fprintf(stderr, "usage: kolvane-host --script FILE [--out DIR] [--addon LIBRARY]\n");
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

}  // namespace

int main(int argc, char** argv) {
    std::string script, out = ".", addon;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--script") == 0 && i + 1 < argc) {
            script = argv[++i];
        } else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = argv[++i];
        } else if (std::strcmp(argv[i], "--addon") == 0 && i + 1 < argc) {
            addon = argv[++i];
        } else {
            return usage();
        }
    }
    if (script.empty()) return usage();

    const fs::path build = buildFolder();
    if (addon.empty()) addon = (build / "lib" / "libKolvane.so").string();
    std::error_code error;
    fs::create_directories(out, error);
    setDefault("KOLVANE_SAMPLES", build / "samples");
    setDefault("KOLVANE_TARVDIR", build / "tarvdir");
    ::setenv("KOLVANE_OUT", fs::absolute(out).string().c_str(), 1);
    ::setenv("KOLVANE_SCRIPT_DIR", fs::absolute(script).parent_path().string().c_str(), 1);

    std::ifstream in(script);
    if (!in) {
        std::fprintf(stderr, "kolvane-host: cannot read %s\n", script.c_str());
        return 2;
    }
    hostapp::silenceOcctMessages();
    auto prompts = ui::installHeadlessPrompts();
    // The add-on's results window draws off screen here.
    render::gl::installOffscreenSceneRenderer();
    // Prints to a name other than ".pdf" become PNG pages.
    hostapp::installRasterPrintPages();
    registerHome(build);

    int status = 0;
    hostapp::HostApplication app;
    try {
        const auto lines = hostapp::readScript(in);
        app.loadAddOn(addon);
        hostapp::ScriptRunner runner(app, *prompts, std::cout, {out});
        runner.run(lines);
        app.unloadAddOn();
        std::cout << "script finished" << std::endl;
    } catch (const hostapp::ScriptStop& stop) {
        app.unloadAddOn();
        std::cout << "stopped at " << stop.what() << std::endl;
    } catch (const hostapp::ScriptFailure& failure) {
        std::cout << std::flush;
        std::fprintf(stderr, "%s:%d: %s\n", script.c_str(), failure.line(), failure.what());
        status = 1;
    } catch (const hostapp::ScriptSyntaxError& syntax) {
        std::cout << std::flush;
        std::fprintf(stderr, "%s:%d: %s\n", script.c_str(), syntax.line(), syntax.what());
        status = 1;
    } catch (const std::exception& e) {
        std::cout << std::flush;
        std::fprintf(stderr, "kolvane-host: %s\n", e.what());
        status = 1;
    }
    return status;
}
