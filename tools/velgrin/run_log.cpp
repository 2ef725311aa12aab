#include "run_log.h"

#include <cstdio>
#include <fstream>
#include <iostream>

namespace velgrin {

namespace {
double secondsBetween(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}
}  // namespace

RunLog::RunLog(std::string logPath) : logPath_(std::move(logPath)) {}

std::string RunLog::pathFor(const std::string& inputPath) {
    const std::string txt = ".txt";
    if (inputPath.size() > txt.size() &&
        inputPath.compare(inputPath.size() - txt.size(), txt.size(), txt) == 0)
        return inputPath.substr(0, inputPath.size() - txt.size()) + ".log";
    return inputPath + ".log";
}

RunLog::~RunLog() {
    flush();
}

void RunLog::append(const std::string& line) {
    pending_ += line + '\n';
}

void RunLog::flush() {
    if (logPath_.empty() || pending_.empty()) return;
    std::ofstream out(logPath_, std::ios::app | std::ios::binary);
    out << pending_;
    pending_.clear();
}

void RunLog::closeStage() {
    const auto now = Clock::now();
    if (!stageName_.empty()) stageSeconds_.emplace_back(stageName_, secondsBetween(stageStart_, now));
    stageStart_ = now;
}

void RunLog::stage(int percent, const std::string& name) {
    closeStage();
    stageName_ = name;
    char text[64];
    std::snprintf(text, sizeof text, "velgrin %3d%% ", percent);
    std::cout << text << name << std::endl;
}

void RunLog::note(const std::string& text) {
    std::cout << "velgrin: " << text << std::endl;
    append("velgrin: " + text);
}

void RunLog::error(const std::string& text) {
    std::cerr << "velgrin error: " << text << std::endl;
    append("velgrin error: " + text);
}

void RunLog::timings() {
    closeStage();
    stageName_.clear();
    std::string line = "velgrin times:";
    char part[128];
    for (const auto& [name, seconds] : stageSeconds_) {
        std::snprintf(part, sizeof part, " %s %.3f s,", name.c_str(), seconds);
        line += part;
    }
    std::snprintf(part, sizeof part, " total %.3f s", secondsBetween(runStart_, Clock::now()));
    line += part;
    std::cout << line << std::endl;
    append(line);
}

}  // namespace velgrin
