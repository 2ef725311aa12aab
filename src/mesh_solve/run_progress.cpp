#include "mesh_solve/run_progress.h"

#include <cctype>
#include <charconv>

namespace mesh_solve {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::optional<int> leadingNumber(std::string_view& s) {
    int value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end == s.data()) return std::nullopt;
    s.remove_prefix(static_cast<std::size_t>(end - s.data()));
    return value;
}

// "step K/N..." gives K of N steps done.
std::optional<int> stepPercent(std::string_view text) {
    if (!startsWith(text, "step ")) return std::nullopt;
    text.remove_prefix(5);
    const auto step = leadingNumber(text);
    if (!step || !startsWith(text, "/")) return std::nullopt;
    text.remove_prefix(1);
    const auto steps = leadingNumber(text);
    if (!steps || *steps <= 0) return std::nullopt;
    return *step * 100 / *steps;
}

// The estimate before " left" at the end of a solver line: "..., 0:12 left".
std::string timeLeftOf(std::string_view text) {
    const std::size_t left = text.rfind(" left");
    if (left == std::string_view::npos) return {};
    const std::size_t comma = text.rfind(", ", left);
    const std::size_t from = comma == std::string_view::npos ? 0 : comma + 2;
    return std::string(trimmed(text.substr(from, left - from)));
}

void takeSolverLine(RunProgress& progress, std::string_view line) {
    // Every line starts with the seconds since the start: "[    1.20 s] ".
    if (startsWith(line, "[")) {
        const std::size_t close = line.find("] ");
        if (close != std::string_view::npos) line.remove_prefix(close + 2);
    }
    line = trimmed(line);
    if (startsWith(line, "error: ")) {
        progress.error = std::string(line.substr(7));
        return;
    }
    // A run that ends well may still not have done all that was asked (a refinement that
    // stopped short of its target): its last warning goes with the end report.
    if (startsWith(line, "warning: ")) progress.warning = std::string(line.substr(9));
    if (line == "done") progress.finished = true;
    // An adaptive run solves once a refinement cycle: the cycle's line (its unknowns and error)
    // tells where the run is, and the next cycle's steps count from 0 again.
    if (startsWith(line, "refinement cycle ")) {
        progress.stage = std::string(line);
        progress.percent.reset();
        progress.timeLeft.clear();
    }
    if (const auto percent = stepPercent(line)) {
        progress.percent = percent;
        progress.timeLeft = timeLeftOf(line);
    }
}

void takeMesherLine(RunProgress& progress, std::string_view line) {
    line = trimmed(line);
    if (startsWith(line, "velgrin error: ")) {
        progress.error = std::string(line.substr(15));
        return;
    }
    if (!startsWith(line, "velgrin ")) return;
    std::string_view rest = trimmed(line.substr(8));
    const auto percent = leadingNumber(rest);
    if (!percent || !startsWith(rest, "%")) return;
    progress.percent = *percent;
    progress.stage = std::string(trimmed(rest.substr(1)));
    progress.finished = *percent == 100;
}

}  // namespace

void RunProgress::take(RunProgram program, std::string_view line) {
    if (program == RunProgram::Solver)
        takeSolverLine(*this, line);
    else
        takeMesherLine(*this, line);
}

}  // namespace mesh_solve
