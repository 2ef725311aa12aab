#include "physics/model_entries.h"

#include <sstream>
#include <stdexcept>

#include "formats/input_values.h"

namespace tarvsolv {

using formats::parseInt;
using formats::parseNumber;
using formats::splitTopLevel;
using formats::trimmed;
namespace {

EntityRef makeRef(EntityRef::Kind kind, int first = 0, int second = 0, Vec3 point = {}) {
    EntityRef ref;
    ref.kind = kind;
    ref.first = first;
    ref.second = second;
    ref.point = point;
    return ref;
}

std::runtime_error entryError(const InputLine& line, const std::string& what) {
    return std::runtime_error("input line " + std::to_string(line.number) + " '" + line.text + "': " + what);
}

// The words of a line and, for each, where the text after it begins.
struct Words {
    std::vector<std::string> words;
    std::vector<std::size_t> ends;
    explicit Words(const std::string& text) {
        std::size_t pos = 0;
        while (true) {
            const auto start = text.find_first_not_of(" \t", pos);
            if (start == std::string::npos) break;
            auto end = text.find_first_of(" \t", start);
            if (end == std::string::npos) end = text.size();
            words.push_back(text.substr(start, end - start));
            ends.push_back(end);
            pos = end;
        }
    }
    std::string restAfter(const std::string& text, std::size_t count) const {
        if (count == 0) return trimmed(text);
        if (count > ends.size()) return {};
        return trimmed(text.substr(ends[count - 1]));
    }
};

int intWord(const InputLine& line, const Words& w, std::size_t index, const char* what) {
    if (index >= w.words.size()) throw entryError(line, std::string("the ") + what + " is missing");
    const auto value = parseInt(w.words[index]);
    if (!value)
        throw entryError(line,
                         std::string("the ") + what + " '" + w.words[index] + "' is not a whole number");
    return *value;
}

Vec3 pointWord(const InputLine& line, const Words& w, std::size_t index) {
    if (index >= w.words.size()) throw entryError(line, "the point's coordinates are missing");
    const auto parts = splitTopLevel(w.words[index], ',');
    if (parts.size() != 3) throw entryError(line, "a point needs three coordinates x,y,z");
    Vec3 p;
    for (int k = 0; k < 3; ++k) {
        const auto v = parseNumber(trimmed(parts[k]));
        if (!v) throw entryError(line, "coordinate '" + parts[k] + "' is not a number");
        p[k] = *v;
    }
    return p;
}

double numberWord(const InputLine& line, const Words& w, std::size_t index) {
    if (index >= w.words.size()) throw entryError(line, "a number is missing");
    const auto v = parseNumber(w.words[index]);
    if (!v) throw entryError(line, "'" + w.words[index] + "' is not a number");
    return *v;
}

std::vector<Expression> values(const InputLine& line, const std::string& text, const TableSet& tables,
                               std::size_t count) {
    std::vector<std::string> parts = splitTopLevel(text, ',');
    if (parts.size() != count)
        throw entryError(
            line, "expected " + std::to_string(count) + " value(s), found " + std::to_string(parts.size()));
    std::vector<Expression> out;
    try {
        for (const auto& part : parts) out.emplace_back(part, tables);
    } catch (const std::runtime_error& e) {
        throw entryError(line, e.what());
    }
    return out;
}

void readMaterial(ModelEntries& m, const InputLine& line) {
    const Words w(line.text);
    MaterialEntry entry;
    entry.body = intWord(line, w, 0, "body number");
    entry.line = line.number;
    for (const auto& field : splitTopLevel(w.restAfter(line.text, 1), ','))
        entry.fields.push_back(trimmed(field));
    m.materials.push_back(std::move(entry));
}

// "REF temp VALUE": the value is the rest of the line, a number, a time table or a formula.
void readHeldTemperature(ModelEntries& m, const InputLine& line, const Words& w, const EntityRef& where,
                         std::size_t valueWord, bool thermal) {
    if (!thermal) throw entryError(line, "a held temperature belongs to a thermal loadcase");
    const std::string text = w.restAfter(line.text, valueWord);
    if (text.empty()) throw entryError(line, "the held temperature is missing");
    try {
        m.heldTemperatures.push_back({where, Expression(text, m.tables), line.number});
    } catch (const std::runtime_error& e) {
        throw entryError(line, e.what());
    }
}

void readRestraint(ModelEntries& m, const InputLine& line, bool thermal) {
    const Words w(line.text);
    Restraint r;
    r.line = line.number;
    const std::string code = w.words.empty() ? "" : w.words[0];
    std::size_t flags = 0;
    if (code == "bor")
        r.where = makeRef(EntityRef::Kind::Face, intWord(line, w, 1, "face number")), flags = 2;
    else if (code == "efr")
        r.where = makeRef(EntityRef::Kind::EdgeByFaces, intWord(line, w, 1, "face number"),
                          intWord(line, w, 2, "face number")),
        flags = 3;
    else if (code == "eor")
        r.where = makeRef(EntityRef::Kind::Edge, intWord(line, w, 1, "edge number")), flags = 2;
    else if (code == "por")
        r.where = makeRef(EntityRef::Kind::Vertex, intWord(line, w, 1, "vertex number")), flags = 2;
    else if (code == "pxr")
        r.where = makeRef(EntityRef::Kind::Point, 0, 0, pointWord(line, w, 1)), flags = 2;
    else
        throw entryError(line, "unknown restraint '" + code + "'");
    if (w.words.size() > flags && w.words[flags] == "temp")
        return readHeldTemperature(m, line, w, r.where, flags + 1, thermal);
    if (w.words.size() < flags + 3) {
        m.warnings.push_back("input line " + std::to_string(line.number) +
                             ": a restraint without fixed directions fixes nothing");
        return;
    }
    for (int k = 0; k < 3; ++k) {
        const int flag = intWord(line, w, flags + k, "direction flag");
        if (flag != 0 && flag != 1) throw entryError(line, "a direction flag is 0 (fixed) or 1 (free)");
        r.fixed[k] = flag == 0;
    }
    m.restraints.push_back(r);
}

// Face and edge loads: "bol F code values" / "efl A B code values".
void readSurfaceLoad(ModelEntries& m, const InputLine& line, const Words& w, Load load, std::size_t codeIndex,
                     bool thermal) {
    const int code = intWord(line, w, codeIndex, "load code");
    const std::string text = w.restAfter(line.text, codeIndex + 1);
    if (!thermal && code == 0)
        load.kind = LoadKind::Traction, load.values = values(line, text, m.tables, 3);
    else if (!thermal && code == 1)
        load.kind = LoadKind::Pressure, load.values = values(line, text, m.tables, 1);
    else if (thermal && code == 0)
        load.kind = LoadKind::HeatFlux, load.values = values(line, text, m.tables, 1);
    else if (thermal && code == 2)
        load.kind = LoadKind::Convection, load.values = values(line, text, m.tables, 2);
    else
        throw entryError(line, std::string("load code ") + std::to_string(code) + " is not a " +
                                   (thermal ? "thermal" : "mechanical") + " load");
    m.loads.push_back(std::move(load));
}

// A flow takes a velocity ("bol F 3 vx, vy, vz") or a pressure ("bol F 1 P") on a face and an
// acceleration of the whole fluid ("al ax, ay, az"); a gas also a total pressure and temperature on a
// face ("bol F 4 p0, T0") and an initial state ("il p, T"), which the incompressible flows refuse.
// Any other load is refused, named.
void readFlowLoad(ModelEntries& m, const InputLine& line) {
    const Words w(line.text);
    Load load;
    load.line = line.number;
    const std::string code = w.words.empty() ? "" : w.words[0];
    if (code == "al") {
        load.kind = LoadKind::Acceleration;
        load.values = values(line, w.restAfter(line.text, 1), m.tables, 3);
    } else if (code == "il") {
        load.kind = LoadKind::InitialState;
        load.values = values(line, w.restAfter(line.text, 1), m.tables, 2);
    } else if (code == "bol") {
        load.where = makeRef(EntityRef::Kind::Face, intWord(line, w, 1, "face number"));
        const int kind = intWord(line, w, 2, "load code");
        const std::string text = w.restAfter(line.text, 3);
        if (kind == 3)
            load.kind = LoadKind::Velocity, load.values = values(line, text, m.tables, 3);
        else if (kind == 1)
            load.kind = LoadKind::Pressure, load.values = values(line, text, m.tables, 1);
        else if (kind == 4)
            load.kind = LoadKind::TotalPressure, load.values = values(line, text, m.tables, 2);
        else
            throw entryError(
                line, "a flow takes a velocity (load code 3) or a pressure (1) on a face, not load code " +
                          std::to_string(kind) + " (a force or distributed load)");
    } else if (code == "efl" || code == "pxf") {
        throw entryError(line, "a flow takes no loads on edges, vertices or points");
    } else if (code == "t" || code == "cx") {
        throw entryError(line, std::string("a flow takes no ") + (code == "t" ? "temperatures" : "spin"));
    } else {
        throw entryError(line, "unknown load '" + code + "'");
    }
    m.loads.push_back(std::move(load));
}

void readLoad(ModelEntries& m, const InputLine& line, Physics physics) {
    if (physics == Physics::Fluid) return readFlowLoad(m, line);
    const bool thermal = physics == Physics::Thermal;
    const Words w(line.text);
    Load load;
    load.line = line.number;
    const std::string code = w.words.empty() ? "" : w.words[0];
    if (code == "bol") {
        load.where = makeRef(EntityRef::Kind::Face, intWord(line, w, 1, "face number"));
        readSurfaceLoad(m, line, w, std::move(load), 2, thermal);
    } else if (code == "efl") {
        const int a = intWord(line, w, 1, "edge reference"), b = intWord(line, w, 2, "edge reference");
        load.where = b == 0 ? makeRef(EntityRef::Kind::Edge, a) : makeRef(EntityRef::Kind::EdgeByFaces, a, b);
        readSurfaceLoad(m, line, w, std::move(load), 3, thermal);
    } else if (code == "pxf") {
        load.where = makeRef(EntityRef::Kind::Point, 0, 0, pointWord(line, w, 1));
        load.kind = thermal ? LoadKind::HeatFlux : LoadKind::Force;
        load.values = values(line, w.restAfter(line.text, 2), m.tables, thermal ? 1 : 3);
        m.loads.push_back(std::move(load));
    } else if (code == "al") {
        load.kind = thermal ? LoadKind::HeatGeneration : LoadKind::Acceleration;
        load.values = values(line, w.restAfter(line.text, 1), m.tables, thermal ? 1 : 3);
        m.loads.push_back(std::move(load));
    } else if (code == "t") {
        if (thermal)
            throw entryError(line, "temperatures from another loadcase belong to a mechanical loadcase");
        load.kind = LoadKind::Temperatures;
        load.path = w.restAfter(line.text, 1);
        if (load.path.empty()) throw entryError(line, "the temperature result file is missing");
        m.loads.push_back(std::move(load));
    } else if (code == "cx") {
        if (thermal) throw entryError(line, "spin belongs to a mechanical loadcase");
        load.kind = LoadKind::Spin;
        load.axisPoint = pointWord(line, w, 1);
        const Vec3 second{numberWord(line, w, 2), numberWord(line, w, 3), numberWord(line, w, 4)};
        load.axisDirection = normalized(second - load.axisPoint);
        if (norm(second - load.axisPoint) == 0) throw entryError(line, "the spin axis has no direction");
        load.values = values(line, w.restAfter(line.text, 5), m.tables, 1);
        m.loads.push_back(std::move(load));
    } else {
        throw entryError(line, "unknown load '" + code + "'");
    }
}

// The plane's unit direction from the first three of `parts`.
Vec3 planeDirection(const std::vector<std::string>& parts) {
    Vec3 d;
    for (int k = 0; k < 3; ++k) {
        const auto v = parseNumber(trimmed(parts[k]));
        if (!v) throw std::runtime_error("plane number '" + parts[k] + "' is not a number");
        d[k] = *v;
    }
    if (norm(d) == 0) throw std::runtime_error("the plane's direction is zero");
    return normalized(d);
}

void readContact(ModelEntries& m, const InputLine& line, const Words& w, const std::string& code) {
    ContactEntry c;
    c.line = line.number;
    c.face = intWord(line, w, 1, "face number");
    const std::string text = w.restAfter(line.text, 2);
    try {
        if (code == "boi") {
            c.kind = ContactEntry::Kind::Interface;
        } else if (code == "bogn") {
            c.kind = ContactEntry::Kind::NormalGap;
            if (text.empty()) throw std::runtime_error("the gap is missing");
            c.gap.emplace(text, m.tables);
        } else {
            c.kind = ContactEntry::Kind::PlaneGap;
            const auto parts = splitTopLevel(text, ',');
            if (parts.size() != 4)
                throw std::runtime_error("a gap to a plane needs the plane's three numbers and the gap");
            c.direction = planeDirection(parts);
            c.gap.emplace(parts[3], m.tables);
        }
    } catch (const std::runtime_error& e) {
        throw entryError(line, e.what());
    }
    m.contacts.push_back(std::move(c));
}

void readConstraint(ModelEntries& m, const InputLine& line) {
    const Words w(line.text);
    const std::string code = w.words.empty() ? "" : w.words[0];
    if (code == "bog" || code == "bogn" || code == "boi") return readContact(m, line, w, code);
    Constraint c;
    c.line = line.number;
    if (code != "bocn" && code != "boc") throw entryError(line, "unknown interaction '" + code + "'");
    c.face = intWord(line, w, 1, "face number");
    const std::string text = w.restAfter(line.text, 2);
    try {
        if (code == "bocn") {
            c.kind = Constraint::Kind::NormalDisplacement;
            c.value.emplace(text, m.tables);
        } else {
            c.kind = Constraint::Kind::PlaneDisplacement;
            const auto parts = splitTopLevel(text, ',');
            if (parts.size() != 4)
                throw std::runtime_error(
                    "a plane displacement needs the plane's three numbers and the displacement");
            c.direction = planeDirection(parts);
            c.value.emplace(parts[3], m.tables);
        }
    } catch (const std::runtime_error& e) {
        throw entryError(line, e.what());
    }
    m.constraints.push_back(std::move(c));
}

}  // namespace

std::string EntityRef::describe() const {
    std::ostringstream out;
    switch (kind) {
        case Kind::Face:
            out << "face " << first;
            break;
        case Kind::EdgeByFaces:
            out << "the edge between faces " << first << " and " << second;
            break;
        case Kind::Edge:
            out << "edge " << first;
            break;
        case Kind::Vertex:
            out << "vertex " << first;
            break;
        case Kind::Point:
            out << "the point " << point.x << "," << point.y << "," << point.z;
            break;
        case Kind::Model:
            out << "the whole model";
            break;
    }
    return out.str();
}

void readMoreEntries(ModelEntries& m, const std::vector<InputLine>& restraints,
                     const std::vector<InputLine>& loads, Physics physics) {
    for (const auto& line : restraints) readRestraint(m, line, physics == Physics::Thermal);
    for (const auto& line : loads) readLoad(m, line, physics);
}

ModelEntries readModelEntries(const SolverInput& input, Physics physics) {
    const bool thermal = physics == Physics::Thermal;
    ModelEntries m;
    for (const auto& line : input.tables) {
        // Loadcases made before each table had its own name can hold two tables of one name.
        const std::string name = trimmed(line.text.substr(0, line.text.find(',')));
        if (m.tables.find(name))
            m.warnings.push_back("input line " + std::to_string(line.number) + ": a second table named " +
                                 name + "; every value naming it takes this later one");
        try {
            m.tables.addLine(line.text);
        } catch (const std::runtime_error& e) {
            throw entryError(line, e.what());
        }
    }
    for (const auto& line : input.materials) readMaterial(m, line);
    for (const auto& line : input.restraints) readRestraint(m, line, thermal);
    for (const auto& line : input.loads) readLoad(m, line, physics);
    for (const auto& line : input.constraints) {
        if (physics == Physics::Fluid) throw entryError(line, "a flow takes no interactions");
        readConstraint(m, line);
    }
    return m;
}

}  // namespace tarvsolv
