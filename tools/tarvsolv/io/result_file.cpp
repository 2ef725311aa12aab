#include "io/result_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "formats/input_values.h"

namespace tarvsolv {

using formats::parseInt;
using formats::parseNumber;
using formats::trimmed;
using formats::words;

int ResultPreamble::bodyOfFace(int face) const {
    for (const BodyTotals& b : bodies)
        if (face <= b.faces) return b.body;
    return bodies.empty() ? 1 : bodies.back().body;
}

ResultPreamble readResultPreamble(const std::string& path, const std::string& meshPath) {
    ResultPreamble preamble;
    std::ifstream in(path);
    if (!in) {
        preamble.text = "MESHFILE\n" + meshPath + "\n";
        return preamble;
    }
    std::string line;
    bool inBodies = false;
    bool sawMeshFile = false;
    std::ostringstream kept;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string word = trimmed(line);
        if (!sawMeshFile) {
            if (word != "MESHFILE") break;
            sawMeshFile = true;
            kept << line << '\n';
            if (std::getline(in, line)) kept << line << '\n';
            continue;
        }
        if (inBodies) {
            kept << line << '\n';
            if (word == "END") break;
            const auto fields = words(word);
            if (fields.size() == 4) {
                BodyTotals b;
                const auto n = parseInt(fields[0]), f = parseInt(fields[1]), e = parseInt(fields[2]),
                           v = parseInt(fields[3]);
                if (n && f && e && v) preamble.bodies.push_back({*n, *f, *e, *v});
            }
            continue;
        }
        if (word.rfind("BODIES", 0) == 0) {
            inBodies = true;
            kept << line << '\n';
            continue;
        }
        break;  // the first result block of an earlier run: everything from here is replaced
    }
    preamble.text = sawMeshFile ? kept.str() : "MESHFILE\n" + meshPath + "\n";
    return preamble;
}

void replaceFile(const std::string& path, const std::function<void(std::ostream&)>& write) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("cannot create " + temporary);
        write(out);
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            throw std::runtime_error("cannot write " + temporary + " (disk full?)");
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw std::runtime_error("cannot replace " + path);
    }
}

}  // namespace tarvsolv

namespace tarvsolv {

namespace {

// The node lines after a "TEMP" header.
std::vector<double> readTemperatureLines(std::istream& in, const std::string& path, int nodeCount) {
    std::vector<double> temperatures(nodeCount);
    std::string line;
    for (int n = 0; n < nodeCount; ++n) {
        if (!std::getline(in, line))
            throw std::runtime_error(path + ": the temperature block ends before node " +
                                     std::to_string(n + 1));
        const auto fields = words(line);
        const auto value = fields.size() >= 2 ? parseNumber(fields[1]) : std::nullopt;
        if (!value)
            throw std::runtime_error(path + ": cannot read the temperature of node " + std::to_string(n + 1));
        temperatures[n] = *value;
    }
    if (std::getline(in, line) && !trimmed(line).empty())
        throw std::runtime_error(
            path + ": the temperatures were computed on another mesh (more nodes than this one)");
    return temperatures;
}

}  // namespace

TemperatureBlock readTemperatures(const std::string& path, int nodeCount) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot open the temperature results " + path +
                                 "; solve that thermal loadcase first");
    // Every block is read, so that a block of another mesh is refused wherever it stands; the
    // last one is the end of a transient run (the only one of a steady run).
    TemperatureBlock last;
    std::string line;
    while (std::getline(in, line)) {
        const std::string word = trimmed(line);
        if (word.rfind("TEMP", 0) != 0) continue;
        const auto fields = words(word);
        const auto number = fields.size() >= 2 ? parseInt(fields[1]) : std::nullopt;
        last.step = number && *number > 0 ? *number : 1;
        last.values = readTemperatureLines(in, path, nodeCount);
        ++last.blockCount;
    }
    if (last.blockCount == 0) throw std::runtime_error(path + " holds no temperatures");
    return last;
}

}  // namespace tarvsolv
