#include "solver_input_reader.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "formats/solver_input.h"
#include "velgrin_error.h"

namespace velgrin {

namespace {

using formats::InputLine;
using formats::parseNumber;
using formats::SolverInputSections;
using formats::trimmed;
using formats::words;

class Reader {
  public:
    Reader(const std::string& path) : path_(path) {}

    [[noreturn]] void fail(const std::string& what) const {
        throw VelgrinError(ExitCode::BadInput, "The solver input \"" + path_ + "\" " + what);
    }
    [[noreturn]] void failAt(const InputLine& line, const std::string& section,
                             const std::string& what) const {
        fail("has a bad " + section + " line " + std::to_string(line.number) + " (\"" + line.text +
             "\"): " + what);
    }

    const std::vector<InputLine>& require(const SolverInputSections& s, std::string_view name) const {
        if (!s.has(name)) fail("has no " + std::string(name) + " section.");
        return s.lines(name);
    }

    // The single value line a section must hold (HEADER, MODEL, MFILE).
    const InputLine& firstLine(const SolverInputSections& s, std::string_view name) const {
        const auto& body = require(s, name);
        if (body.empty() || trimmed(body.front().text).empty())
            fail("has an empty " + std::string(name) + " section.");
        return body.front();
    }

  private:
    std::string path_;
};

// "0.001 <unit> scale=<s> nod=<n> elem=0 ana=<a> ..."
void readHeader(const Reader& reader, const InputLine& line, MeshJob& job) {
    const auto fields = words(line.text);
    if (fields.size() < 2) reader.failAt(line, "HEADER", "the unit text is missing.");
    job.unitText = fields[1];
    bool scaleSeen = false;
    for (std::size_t i = 2; i < fields.size(); ++i) {
        const auto eq = fields[i].find('=');
        if (eq == std::string::npos) continue;
        const std::string key = fields[i].substr(0, eq);
        const auto value = parseNumber(fields[i].substr(eq + 1));
        if (key == "scale") {
            if (!value || *value <= 0) reader.failAt(line, "HEADER", "the scale is not a positive number.");
            job.scale = *value;
            scaleSeen = true;
        } else if (key == "nod") {
            if (!value || (*value != 4 && *value != 10))
                reader.failAt(line, "HEADER", "nodes per element must be 4 or 10.");
            job.nodesPerElement = static_cast<int>(*value);
        } else if (key == "ana" && value) {
            job.analysisCode = static_cast<int>(*value);
        }
    }
    if (!scaleSeen) reader.failAt(line, "HEADER", "\"scale=\" is missing.");
}

int wholeCount(double value) {
    return value < 0 ? 0 : static_cast<int>(value);
}

// " upper lower fineness grading close curve edge surface volume order 0"
void readSettings(const Reader& reader, const std::vector<InputLine>& body, MeshJob& job) {
    const InputLine* line = nullptr;
    for (const auto& l : body)
        if (!trimmed(l.text).empty()) {
            line = &l;
            break;
        }
    if (!line) {
        job.notes.push_back("MSET holds no settings line: default settings used");
        return;
    }
    const auto fields = words(line->text);
    if (fields.size() < 10)
        reader.failAt(*line, "MSET", "10 numbers are needed, " + std::to_string(fields.size()) + " found.");
    std::array<double, 10> v{};
    for (std::size_t i = 0; i < v.size(); ++i) {
        const auto value = parseNumber(fields[i]);
        if (!value) reader.failAt(*line, "MSET", "field " + std::to_string(i + 1) + " is not a number.");
        v[i] = *value;
    }
    MesherSettings& s = job.settings;
    s.upperSize = v[0];
    s.lowerSize = v[1] < 0 ? 0 : v[1];
    s.fineness = std::clamp(v[2], 0.0, 1.0);
    s.grading = std::clamp(v[3], 0.0, 1.0);
    s.closeEdgeFactor = v[4] < 0 ? 0 : v[4];
    s.curveElements = wholeCount(v[5]);
    s.edgeElements = wholeCount(v[6]);
    s.surfaceSteps = wholeCount(v[7]);
    s.volumeSteps = wholeCount(v[8]);
    if (v[9] != 0 && v[9] != 1) reader.failAt(*line, "MSET", "the order (field 10) must be 0 or 1.");
    s.order = static_cast<int>(v[9]);
    if (s.upperSize > 0 && s.lowerSize > s.upperSize)
        reader.failAt(*line, "MSET", "the lower size exceeds the upper size.");
    job.hasSettingsLine = true;
    job.nodesPerElement = s.order == 1 ? 10 : 4;
}

// "bos <face> <size>", "eos <edge> <size>", "pxs <x>,<y>,<z> <size>"
LocalSize readLocalSize(const Reader& reader, const InputLine& line) {
    const auto fields = words(line.text);
    if (fields.size() != 3) reader.failAt(line, "ESIZE", "a code, an entity and a size are needed.");
    LocalSize local;
    local.line = line.number;
    const auto size = parseNumber(fields[2]);
    if (!size) reader.failAt(line, "ESIZE", "the size is not a number.");
    local.size = *size;
    if (fields[0] == "bos" || fields[0] == "eos") {
        local.target = fields[0] == "bos" ? LocalSizeTarget::Face : LocalSizeTarget::Edge;
        const auto number = parseNumber(fields[1]);
        if (!number || *number < 1 || *number != static_cast<int>(*number))
            reader.failAt(line, "ESIZE", "the entity number is not a whole number from 1.");
        local.entity = static_cast<int>(*number);
    } else if (fields[0] == "pxs") {
        local.target = LocalSizeTarget::Point;
        std::istringstream coordinates(fields[1]);
        std::string part;
        int axis = 0;
        while (std::getline(coordinates, part, ',')) {
            const auto value = parseNumber(part);
            if (!value || axis > 2) reader.failAt(line, "ESIZE", "the point needs three numbers \"x,y,z\".");
            local.point[axis++] = *value;
        }
        if (axis != 3) reader.failAt(line, "ESIZE", "the point needs three numbers \"x,y,z\".");
    } else {
        reader.failAt(line, "ESIZE", "the code must be bos, eos or pxs.");
    }
    return local;
}

void readLocalSizes(const Reader& reader, const std::vector<InputLine>& body, MeshJob& job) {
    for (const auto& line : body) {
        if (trimmed(line.text).empty()) continue;
        LocalSize local = readLocalSize(reader, line);
        // A size typed as text the add-on could not convert arrives as 0; meshing with it is impossible.
        if (local.size <= 0) {
            job.notes.push_back("ESIZE line " + std::to_string(line.number) + " skipped: size " +
                                trimmed(std::string_view(line.text).substr(line.text.rfind(' ') + 1)) +
                                " is not positive");
            continue;
        }
        job.localSizes.push_back(local);
    }
}

}  // namespace

MeshJob readSolverInput(std::istream& in, const std::string& path) {
    const Reader reader(path);
    const SolverInputSections sections = formats::readSolverInputSections(in);
    MeshJob job;
    job.inputPath = path;
    readHeader(reader, reader.firstLine(sections, "HEADER"), job);
    job.stepPath = trimmed(reader.firstLine(sections, "MODEL").text);
    job.meshPath = trimmed(reader.firstLine(sections, "MFILE").text);
    readSettings(reader, reader.require(sections, "MSET"), job);
    readLocalSizes(reader, reader.require(sections, "ESIZE"), job);
    return job;
}

MeshJob readSolverInput(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw VelgrinError(ExitCode::BadInput, "The solver input \"" + path + "\" cannot be opened.");
    return readSolverInput(in, path);
}

}  // namespace velgrin
