#include "mesh_solve/program_runs.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "addon_base/library_state.h"
#include "platform/automation.h"
#include "ui/prompts.h"

namespace mesh_solve {

namespace {

const char* noun(RunProgram program) {
    return program == RunProgram::Solver ? "solve" : "mesh";
}

std::string percentText(const RunProgress& progress) {
    return progress.percent ? std::to_string(*progress.percent) + " %" : std::string();
}

std::string endReason(const platform::ProgramEnd& end) {
    switch (end.kind) {
        case platform::ProgramEnd::Kind::Exited:
            return "exit status " + std::to_string(end.code);
        case platform::ProgramEnd::Kind::Signalled:
            return "ended by signal " + std::to_string(end.code);
        case platform::ProgramEnd::Kind::Unknown:
            break;
    }
    return "its end status is unknown";
}

// The host's status bar, when the host has one.
void setStatusBar(const std::string& text) {
    const auto bar = addon::library().hostRoot.query<host::IQDStatusBar>();
    if (bar) bar->SetStatusText(platform::AutoString(text));
}

}  // namespace

RunReport reportFor(RunProgram program, const RunJob& job, const RunProgress& progress,
                    std::chrono::seconds elapsed) {
    RunReport report{program, job, true, false, {}, {}};
    std::string detail = percentText(progress);
    if (!progress.timeLeft.empty()) detail += (detail.empty() ? "" : ", ") + progress.timeLeft + " left";
    // Without a step count the time since the start shows that the program is still at work.
    if (detail.empty()) detail = std::to_string(elapsed.count()) + " s";
    const bool solver = program == RunProgram::Solver;
    report.text = std::string(solver ? "Solving " : "Meshing ") + job.loadcase + ": " + detail;
    if (!progress.stage.empty()) report.text += " " + progress.stage;
    report.labelText = job.loadcase + (solver ? ": solving " : ": meshing ") + detail;
    return report;
}

RunReport endReportFor(RunProgram program, const RunJob& job, const RunProgress& progress,
                       const platform::ProgramEnd& end, std::chrono::seconds elapsed) {
    // Without the end status (a host that lets the system reap its children) the log tells.
    const bool succeeded = end.succeeded() || (end.kind == platform::ProgramEnd::Kind::Unknown &&
                                               progress.finished && progress.error.empty());
    RunReport report{program, job, false, !succeeded, {}, {}};
    std::string what = program == RunProgram::Solver ? "Solve of " : "Mesh of ";
    what += job.loadcase;
    if (succeeded) {
        report.text = what + " done in " + std::to_string(elapsed.count()) + " s";
        if (!progress.warning.empty()) report.text += "; " + progress.warning;
        report.labelText = job.loadcase + ": " + noun(program) + " done";
        return report;
    }
    report.text = what + " failed (" + endReason(end) + ")";
    if (!progress.error.empty()) report.text += ": " + progress.error;
    report.labelText = job.loadcase + ": " + noun(program) + " failed";
    return report;
}

std::string ProgramRuns::logPathFor(RunProgram program, const std::string& jobBasePath) {
    return jobBasePath + (program == RunProgram::Solver ? ".slog" : ".mlog");
}

void ProgramRuns::follow(RunProgram program, platform::StartedProgram started, const RunJob& job) {
    Run run{
        program, started, job, logPathFor(program, job.jobBasePath), 0, {}, std::chrono::steady_clock::now(),
        {}};
    runs_.push_back(std::move(run));
    show(reportFor(program, job, {}, std::chrono::seconds(0)));
    runs_.back().shown = lastText_[program];
}

bool ProgramRuns::running(RunProgram program, const std::string& jobBasePath) const {
    return std::any_of(runs_.begin(), runs_.end(), [&](const Run& r) {
        return r.program == program && (jobBasePath.empty() || r.job.jobBasePath == jobBasePath);
    });
}

void ProgramRuns::readLog(Run& run) {
    std::error_code error;
    const auto size = std::filesystem::file_size(run.logPath, error);
    if (error) return;
    if (size < run.logOffset) run.logOffset = 0;  // the program started its log afresh
    if (size == run.logOffset) return;
    std::ifstream in(run.logPath, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(run.logOffset));
    std::string line;
    while (std::getline(in, line)) {
        if (in.eof()) break;  // a line the program has not finished writing
        run.logOffset += line.size() + 1;
        run.progress.take(run.program, line);
    }
}

void ProgramRuns::poll() {
    if (polling_) return;  // a message shown below lets the host's loop call again
    polling_ = true;
    std::vector<std::pair<Run, platform::ProgramEnd>> ended;
    for (auto it = runs_.begin(); it != runs_.end();) {
        const auto end = it->process.poll();
        readLog(*it);
        if (end) {
            ended.emplace_back(std::move(*it), *end);
            it = runs_.erase(it);
            continue;
        }
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - it->started);
        const RunReport report = reportFor(it->program, it->job, it->progress, elapsed);
        if (report.text != it->shown) {
            it->shown = report.text;
            show(report);
        }
        ++it;
    }
    try {
        for (auto& [run, end] : ended) finish(run, end);
    } catch (...) {
        polling_ = false;
        throw;
    }
    polling_ = false;
}

void ProgramRuns::finish(Run& run, const platform::ProgramEnd& end) {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - run.started);
    const RunReport report = endReportFor(run.program, run.job, run.progress, end, elapsed);
    if (run.program == RunProgram::Solver) {
        if (report.failed)
            solveFailures_[run.job.jobBasePath] = report.text;
        else
            solveFailures_.erase(run.job.jobBasePath);
    }
    show(report);
    if (report.failed) ui::showMessage(report.text);
}

void ProgramRuns::show(const RunReport& report) {
    lastText_[report.program] = report.text;
    setStatusBar(report.text);
    const std::vector<RunListener*> listeners = listeners_;  // a listener may go while told
    for (RunListener* listener : listeners)
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            listener->runChanged(report);
}

std::string ProgramRuns::lastText(RunProgram program) const {
    const auto it = lastText_.find(program);
    return it == lastText_.end() ? std::string() : it->second;
}

std::string ProgramRuns::lastSolveFailure(const std::string& jobBasePath) const {
    const auto it = solveFailures_.find(jobBasePath);
    return it == solveFailures_.end() ? std::string() : it->second;
}

void ProgramRuns::addListener(RunListener* listener) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void ProgramRuns::removeListener(RunListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void ProgramRuns::clear() {
    runs_.clear();
    lastText_.clear();
    solveFailures_.clear();
}

ProgramRuns& programRuns() {
    static ProgramRuns runs;
    return runs;
}

}  // namespace mesh_solve
