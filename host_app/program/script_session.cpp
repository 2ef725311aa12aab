#include "program/script_session.h"

#include <cstdio>
#include <fstream>

namespace hostapp {

int runScriptSession(HostApplication& app, ui::HeadlessPrompts& prompts, const ScriptSession& session,
                     std::ostream& out) {
    const char* script = session.scriptPath.c_str();
    std::ifstream in(session.scriptPath);
    if (!in) {
        std::fprintf(stderr, "kolvane-host: cannot read %s\n", script);
        return 2;
    }
    try {
        const auto lines = readScript(in);
        if (!app.addOnLoaded()) app.loadAddOn(session.addOnPath);
        ScriptRunner runner(app, prompts, out, session.options);
        runner.run(lines);
        app.unloadAddOn();
        out << "script finished" << std::endl;
    } catch (const ScriptStop& stop) {
        app.unloadAddOn();
        out << "stopped at " << stop.what() << std::endl;
    } catch (const ScriptFailure& failure) {
        out << std::flush;
        std::fprintf(stderr, "%s:%d: %s\n", script, failure.line(), failure.what());
        return 1;
    } catch (const ScriptSyntaxError& syntax) {
        out << std::flush;
        std::fprintf(stderr, "%s:%d: %s\n", script, syntax.line(), syntax.what());
        return 1;
    } catch (const std::exception& e) {
        out << std::flush;
        std::fprintf(stderr, "kolvane-host: %s\n", e.what());
        return 1;
    }
    return 0;
}

}  // namespace hostapp
