#include "result_blocks.h"

#include <cstdio>

namespace tarvsolv {
namespace {

constexpr std::size_t kModeLineLimit = 119;

void appendf(std::string& out, const char* format, auto... values) {
    char buffer[160];
    const int n = std::snprintf(buffer, sizeof buffer, format, values...);
    out.append(buffer, static_cast<std::size_t>(n));
}

// Very small values print as 0 so the exponent field stays short and "-0" never appears.
double clean(double v) {
    return (v > -1e-290 && v < 1e-290) ? 0.0 : v;
}

}  // namespace

std::string nodeVectorBlock(const char* keyword, int number, const std::vector<double>& values) {
    std::string out;
    out.reserve(values.size() / 3 * 52 + 32);
    appendf(out, "%s %d\n", keyword, number);
    for (std::size_t n = 0; n < values.size() / 3; ++n)
        appendf(out, "%zu %.8e %.8e %.8e\n", n + 1, clean(values[3 * n]), clean(values[3 * n + 1]),
                clean(values[3 * n + 2]));
    out += '\n';
    return out;
}

std::string temperatureBlock(int number, const std::vector<double>& temperatures) {
    std::string out;
    appendf(out, "TEMP %d\n", number);
    for (std::size_t n = 0; n < temperatures.size(); ++n)
        appendf(out, "%zu %.8e\n", n + 1, clean(temperatures[n]));
    out += '\n';
    return out;
}

std::string stressBlock(int number, const FeMesh& mesh, const std::vector<std::array<Stress6, 4>>& stresses) {
    std::string out;
    out.reserve(stresses.size() * 4 * 110 + 64);
    appendf(out, "STRES %d\n", number);
    out += "; element node sx sy sz txy tyz txz\n";
    for (std::size_t e = 0; e < stresses.size(); ++e) {
        const auto nodes = mesh.elementNodes(static_cast<int>(e));
        for (int c = 0; c < 4; ++c) {
            const Stress6& s = stresses[e][c];
            appendf(out, "%zu %d %.6e %.6e %.6e %.6e %.6e %.6e\n", e + 1, nodes[c] + 1, clean(s[0]),
                    clean(s[1]), clean(s[2]), clean(s[3]), clean(s[4]), clean(s[5]));
        }
    }
    out += '\n';
    return out;
}

std::string modeValueBlock(const std::vector<double>& values) {
    std::string line;
    for (int digits = 8; digits >= 2; --digits) {
        line.clear();
        for (std::size_t k = 0; k < values.size(); ++k)
            appendf(line, k ? " %.*g" : "%.*g", digits, clean(values[k]));
        if (line.size() <= kModeLineLimit) break;
    }
    return "NATU\n" + line + "\n\n";
}

}  // namespace tarvsolv
