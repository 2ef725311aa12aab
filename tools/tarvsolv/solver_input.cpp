#include "solver_input.h"

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "text_util.h"

namespace tarvsolv {
namespace {

enum class Section {
    None,
    Header,
    Model,
    MeshFile,
    Solve,
    Tables,
    MeshSettings,
    Materials,
    Sizes,
    Loads,
    Restraints,
    Constraints,
    Other
};

const std::map<std::string, Section>& sectionNames() {
    static const std::map<std::string, Section> names{
        {"HEADER", Section::Header},         {"MODEL", Section::Model},
        {"MFILE", Section::MeshFile},        {"SOLVE", Section::Solve},
        {"TSTEP", Section::Other},           {"GSTEP", Section::Other},
        {"BUCKLE", Section::Other},          {"DYNAMIC", Section::Other},
        {"PRINT", Section::Other},           {"TABLES", Section::Tables},
        {"MSET", Section::MeshSettings},     {"MATERIALS", Section::Materials},
        {"ESIZE", Section::Sizes},           {"LOADS", Section::Loads},
        {"RESTRAINTS", Section::Restraints}, {"CONSTRAINTS", Section::Constraints}};
    return names;
}

std::runtime_error lineError(const std::string& name, int line, const std::string& what) {
    return std::runtime_error(name + " line " + std::to_string(line) + ": " + what);
}

// "0.001 mm scale=1 nod=10 elem=0 ana=0 [s1 s3 s2]"
void readHeaderLine(SolverInput& input, const std::string& text, const std::string& name, int line) {
    const std::vector<std::string> fields = splitBlanks(text);
    if (fields.size() < 2) throw lineError(name, line, "the header line names no unit");
    input.unitText = fields[1];
    for (std::size_t k = 2; k < fields.size(); ++k) {
        const auto eq = fields[k].find('=');
        if (eq == std::string::npos) continue;
        const std::string key = fields[k].substr(0, eq), value = fields[k].substr(eq + 1);
        const auto number = parseNumber(value);
        if (!number) throw lineError(name, line, "header value " + fields[k] + " is not a number");
        if (key == "scale")
            input.lengthScale = *number;
        else if (key == "nod")
            input.nodesPerElement = static_cast<int>(*number);
        else if (key == "ana")
            input.analysisCode = static_cast<int>(*number);
    }
}

void readSolveLine(SolverInput& input, const std::string& text, const std::string& name, int line) {
    const std::vector<std::string> fields = splitTopLevel(text, ',');
    for (std::size_t k = 0; k < fields.size() && k < input.solve.size(); ++k) {
        const auto number = parseNumber(trim(fields[k]));
        if (!number) throw lineError(name, line, "solve value '" + trim(fields[k]) + "' is not a number");
        input.solve[k] = *number;
    }
    input.hasSolve = true;
}

}  // namespace

SolverInput parseSolverInput(const std::string& text, const std::string& name) {
    SolverInput input;
    std::istringstream in(text);
    std::string raw;
    Section section = Section::None;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::string line = trim(raw);
        if (line.empty() || line[0] == ';') continue;
        const auto known = sectionNames().find(line);
        if (known != sectionNames().end()) {
            section = known->second;
            if (line == "GSTEP") input.gstep = true;
            if (line == "BUCKLE") input.buckle = true;
            if (line == "TSTEP") input.tstep = true;
            if (line == "DYNAMIC") input.dynamic = true;
            continue;
        }
        switch (section) {
            case Section::Header:
                readHeaderLine(input, line, name, number);
                section = Section::Other;
                break;
            case Section::Model:
                input.modelPath = line;
                section = Section::Other;
                break;
            case Section::MeshFile:
                input.meshPath = line;
                section = Section::Other;
                break;
            case Section::Solve:
                readSolveLine(input, line, name, number);
                section = Section::Other;
                break;
            case Section::Tables:
                input.tables.push_back({number, line});
                break;
            case Section::MeshSettings:
                input.meshSettings = line;
                break;
            case Section::Materials:
                input.materials.push_back({number, line});
                break;
            case Section::Sizes:
                input.sizes.push_back({number, line});
                break;
            case Section::Loads:
                input.loads.push_back({number, line});
                break;
            case Section::Restraints:
                input.restraints.push_back({number, line});
                break;
            case Section::Constraints:
                input.constraints.push_back({number, line});
                break;
            case Section::None:
            case Section::Other:
                break;
        }
    }
    return input;
}

SolverInput readSolverInput(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open the solver input " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return parseSolverInput(text.str(), path);
}

SolveKind solveKind(const SolverInput& input) {
    switch (input.analysisCode) {
        case 1:
            return SolveKind::SteadyHeat;
        case 2:
            return SolveKind::TransientHeat;
        case 3:
            return SolveKind::Modes;
        case 5:
            return SolveKind::ForcedVibration;
        default:
            break;
    }
    if (input.analysisCode < 0) return SolveKind::Plastic;
    if (input.buckle) return SolveKind::Buckling;
    if (input.gstep) return SolveKind::LargeDisplacement;
    return SolveKind::Static;
}

const char* solveKindName(SolveKind kind) {
    switch (kind) {
        case SolveKind::Static:
            return "linear statics";
        case SolveKind::Plastic:
            return "plasticity";
        case SolveKind::LargeDisplacement:
            return "large displacements";
        case SolveKind::Buckling:
            return "buckling";
        case SolveKind::Modes:
            return "natural frequencies";
        case SolveKind::ForcedVibration:
            return "forced vibrations";
        case SolveKind::SteadyHeat:
            return "steady heat";
        case SolveKind::TransientHeat:
            return "transient heat";
    }
    return "?";
}

}  // namespace tarvsolv
