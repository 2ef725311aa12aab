#include "formats/result_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace results {
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

// Node and stress lines with std::to_chars, which writes exactly what printf's "%zu" and "%.*e"
// write, several times faster: the result file of a large model holds millions of numbers.
class LineWriter {
  public:
    explicit LineWriter(std::string& out) : out_(out) {}
    LineWriter& count(std::size_t v) { return put(std::to_chars(buffer_, buffer_ + sizeof buffer_, v).ptr); }
    LineWriter& value(double v, int digits) {
        return put(
            std::to_chars(buffer_, buffer_ + sizeof buffer_, clean(v), std::chars_format::scientific, digits)
                .ptr);
    }
    void end() { out_.back() = '\n'; }

  private:
    LineWriter& put(const char* last) {
        out_.append(buffer_, static_cast<std::size_t>(last - buffer_));
        out_ += ' ';
        return *this;
    }
    std::string& out_;
    char buffer_[64];
};

}  // namespace

std::string blockHeader(const char* keyword, int number) {
    std::string out;
    appendf(out, "%s %d\n", keyword, number);
    return out;
}

std::string stressHeader(int number) {
    return blockHeader("STRES", number) + "; element node sx sy sz txy tyz txz\n";
}

std::string plasticStrainHeader(int number) {
    return blockHeader("STRAI", number) + "; element node equivalent plastic strain\n";
}

namespace {

void appendNodeVectorLines(std::string& out, std::span<const double> values, std::size_t first) {
    out.reserve(out.size() + values.size() / 3 * 52);
    LineWriter line(out);
    for (std::size_t n = 0; n < values.size() / 3; ++n)
        line.count(first + n + 1)
            .value(values[3 * n], 8)
            .value(values[3 * n + 1], 8)
            .value(values[3 * n + 2], 8)
            .end();
}

void appendNodeScalarLines(std::string& out, std::span<const double> values, std::size_t first) {
    LineWriter line(out);
    for (std::size_t n = 0; n < values.size(); ++n) line.count(first + n + 1).value(values[n], 8).end();
}

void appendStressLines(std::string& out, std::span<const std::int32_t> cornerNodes,
                       std::span<const CornerStress> stresses, std::size_t first) {
    out.reserve(out.size() + stresses.size() * 110);
    LineWriter line(out);
    const std::size_t corners = std::min(cornerNodes.size(), stresses.size());
    for (std::size_t k = 0; k < corners; ++k) {
        line.count(first + k / 4 + 1).count(static_cast<std::size_t>(cornerNodes[k]));
        for (double v : stresses[k]) line.value(v, 6);
        line.end();
    }
}

void appendPlasticStrainLines(std::string& out, std::span<const std::int32_t> cornerNodes,
                              std::span<const double> strains, std::size_t first) {
    LineWriter line(out);
    const std::size_t corners = std::min(cornerNodes.size(), strains.size());
    for (std::size_t k = 0; k < corners; ++k)
        line.count(first + k / 4 + 1)
            .count(static_cast<std::size_t>(cornerNodes[k]))
            .value(strains[k], 6)
            .end();
}

}  // namespace

std::string nodeVectorLines(std::span<const double> values, std::size_t first) {
    std::string out;
    appendNodeVectorLines(out, values, first);
    return out;
}

std::string nodeScalarLines(std::span<const double> values, std::size_t first) {
    std::string out;
    appendNodeScalarLines(out, values, first);
    return out;
}

std::string stressLines(std::span<const std::int32_t> cornerNodes, std::span<const CornerStress> stresses,
                        std::size_t first) {
    std::string out;
    appendStressLines(out, cornerNodes, stresses, first);
    return out;
}

std::string plasticStrainLines(std::span<const std::int32_t> cornerNodes, std::span<const double> strains,
                               std::size_t first) {
    std::string out;
    appendPlasticStrainLines(out, cornerNodes, strains, first);
    return out;
}

std::string nodeVectorBlock(const char* keyword, int number, std::span<const double> values) {
    std::string out = blockHeader(keyword, number);
    appendNodeVectorLines(out, values, 0);
    return out += kBlockEnd;
}

std::string nodeScalarBlock(const char* keyword, int number, std::span<const double> values) {
    std::string out = blockHeader(keyword, number);
    appendNodeScalarLines(out, values, 0);
    return out += kBlockEnd;
}

std::string temperatureBlock(int number, std::span<const double> temperatures) {
    return nodeScalarBlock("TEMP", number, temperatures);
}

std::string stressBlock(int number, std::span<const std::int32_t> cornerNodes,
                        std::span<const CornerStress> stresses) {
    std::string out = stressHeader(number);
    appendStressLines(out, cornerNodes, stresses, 0);
    return out += kBlockEnd;
}

std::string plasticStrainBlock(int number, std::span<const std::int32_t> cornerNodes,
                               std::span<const double> strains) {
    std::string out = plasticStrainHeader(number);
    appendPlasticStrainLines(out, cornerNodes, strains, 0);
    return out += kBlockEnd;
}

std::string modeValueBlock(std::span<const double> values) {
    std::string line;
    for (int digits = 8; digits >= 2; --digits) {
        line.clear();
        for (std::size_t k = 0; k < values.size(); ++k)
            appendf(line, k ? " %.*g" : "%.*g", digits, clean(values[k]));
        if (line.size() <= kModeLineLimit) break;
    }
    return "NATU\n" + line + "\n\n";
}

}  // namespace results
