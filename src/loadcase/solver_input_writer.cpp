#include "loadcase/solver_input_writer.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "addon_base/settings.h"
#include "formats/result_head_path.h"
#include "formats/solver_input.h"
#include "loadcase/analysis_code.h"
#include "loadcase/entity_numbering.h"
#include "loadcase/entry_physics.h"
#include "loadcase/gas_material.h"
#include "loadcase/section_finder.h"
#include "loadcase/text_format.h"
#include "platform/host_error.h"
#include "platform/paths.h"
#include "ui/prompts.h"

namespace loadcase {

using platform::check;
using platform::RefPtr;

int headerCodeForSolveIndex(int solveIndex) {
    switch (solveIndex) {
        case 1:
            return -1;
        case 4:
            return 3;
        case 5:
            return 5;
        case 6:
            return 1;
        case 7:
            return 2;
        default:
            // A fluid analysis (8 to 10) keeps its own code: as 0 the solver would take the model
            // for linear statics and report a wrong result as success, and the loadcase would
            // reopen as Mechanical. So does a thermal stress analysis (11 to 14). Higher indexes
            // are no analysis: the Fluid flow code.
            if (solveIndex >= kFirstFluidAnalysis && solveIndex <= kLastMultiphysicsAnalysis)
                return solveIndex;
            return solveIndex > kLastMultiphysicsAnalysis ? kFirstFluidAnalysis : 0;
    }
}

namespace {

std::string afterFirst(const std::string& text, char c) {
    const auto at = text.find(c);
    return at == std::string::npos ? std::string() : text.substr(at + 1);
}

// A material text is its description, ": " and the property values; the description may hold a
// ':' of its own ("Steel: S235"), the values never do.
std::string materialValues(const std::string& text) {
    const auto at = text.rfind(':');
    return at == std::string::npos ? std::string() : text.substr(at + 1);
}

// The character after the first ';' of an entry text ("face;pressure=5" -> 'p').
char letterAfterSemicolon(const std::string& text) {
    const auto at = text.find(';');
    return (at == std::string::npos || at + 1 >= text.size()) ? '\0' : text[at + 1];
}

// An interaction text of the "Normal gap" kind ("face;normal_gap=0.3").
bool isNormalGap(const std::string& text) {
    const auto at = text.find(';');
    return at != std::string::npos && text.compare(at + 1, 11, "normal_gap=") == 0;
}

// The fixity index written after "fix," in a reaction text; -1 when there is none.
int fixityIndex(const std::string& text) {
    const auto at = text.find("fix,");
    return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + 4);
}

// The value of a held temperature ("face;temperature=100" -> "100"); nothing for a fixity.
std::optional<std::string> heldTemperature(const std::string& text) {
    static const std::string kWord = ";temperature=";
    const auto at = text.find(kWord);
    if (at == std::string::npos) return std::nullopt;
    return text.substr(at + kWord.size());
}

// The design point number of a "point<n>;..." text; 0 when the text names none.
int designPointNumber(const std::string& text) {
    return text.rfind("point<", 0) == 0 ? std::atoi(text.c_str() + 6) : 0;
}

// Freedom flags by fixity index, in the order X Y Z (0 fixed, 1 free).
const char* freedomFlags(int index) {
    static const char* const flags[] = {"0 1 1", "1 0 1", "1 1 0", "0 0 1", "1 0 0", "0 1 0", "0 0 0"};
    return (index >= 0 && index <= 6) ? flags[index] : nullptr;
}

// The load code of a face or edge action by the letter after ';'.
std::string loadCode(char letter) {
    switch (letter) {
        case 'f':
        case 'h':
        case 'l':
            return "0 ";
        case 'p':
            return "1 ";
        case 'c':
            return "2 ";
        case 'v':  // a fluid's velocity on a face
            return "3 ";
        case 't':  // a gas's total pressure and temperature on an inlet face
            return "4 ";
        default:
            return {};
    }
}

// Which lines of a kind a section takes: a Multiphysics loadcase writes its mechanical lines in the
// sections every mechanical input has, its thermal ones in sections of their own.
enum class Part { All, Mechanical, Thermal };

// A Multiphysics material holds the 13 mechanical values, then k, ky, kz and c.
constexpr std::size_t kMechanicalFields = 13;
constexpr std::size_t kMultiphysicsFields = 17;

// A fluid material whose dynamic viscosity (its second value) is the number 0 makes its body a
// solid that only conducts heat. A table name there is a viscosity that varies, not a solid.
bool isSolidMaterial(const std::string& text) {
    const auto fields = materialFields(text);
    if (fields.size() < 2) return false;
    const std::string& mu = fields[1];
    const auto first = mu.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    const auto last = mu.find_last_not_of(' ');
    const std::string number = mu.substr(first, last + 1 - first);
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    return end == number.c_str() + number.size() && value == 0.0;
}

// The field at `index`, "0" when the text has none there.
std::string fieldOr0(const std::vector<std::string>& fields, std::size_t index) {
    return index < fields.size() ? fields[index] : std::string("0");
}

// A held temperature is the thermal part of a reaction, a fixity the mechanical part.
bool inPart(model::EntryKind kind, const std::string& text, Part part) {
    if (part == Part::All || kind == model::kKindMaterial) return true;
    bool thermal = false;
    if (kind == model::kKindAction) thermal = isThermalActionText(text);
    if (kind == model::kKindReaction) thermal = heldTemperature(text).has_value();
    return thermal == (part == Part::Thermal);
}

class Writer {
  public:
    Writer(const SolverInputSource& source, const std::optional<SolveValues>& values)
        : source_(source), document_(source.document), values_(values) {}

    int run();

  private:
    bool refusedForSolve();
    bool startResultFile();
    // A solve starts its result file aside, so that the last good results stay until the solver
    // has new ones; a mesh run starts the result file itself, as results of the mesh it replaces
    // no longer belong to the model.
    std::string startedResultPath() const {
        return values_ ? formats::resultHeadPathFor(document_.resultPath()) : document_.resultPath();
    }
    // Starts the next section of the file and answers its body lines (valid until the next start).
    std::vector<std::string>& startSection(std::string heading);
    void writeHeader();
    void writeSolveSections();
    void writeTablesAndMeshSettings();
    bool isMultiphysics() const {
        const AnalysisSetting setting{document_.analysisType(), document_.solveIndex()};
        return withLoadcaseEntryType(setting, document_.loadcaseEntryType()).type == kTypeMultiphysics;
    }
    bool isFluid() const { return analysisClassOf(document_.analysisType()) == AnalysisClass::Fluid; }
    // The fluid analysis that solves the heat with the flow; the others have no use for it.
    bool carriesHeat() const { return isFluid() && document_.solveIndex() == kFluidMultiphysics; }
    bool isCompressible() const { return isFluid() && document_.solveIndex() == kCompressibleFlow; }
    // The flows whose inputs hold the thermal sections: the one that carries heat, and the gas's,
    // whose walls may be held at a temperature.
    bool writesThermalSections() const { return carriesHeat() || isCompressible(); }
    void reportHeatLeftOut() const;
    // A Multiphysics material that lacks its thermal values (the solver would conduct no heat).
    bool lacksThermalValues() const;
    // Solid bodies (viscosity 0) that the chosen fluid analysis cannot take: any under a flow
    // without heat, all of them under a flow that carries heat.
    bool refusesSolidBodies() const;
    // A material without the gas values or of no gas, named with its body; a gas flow with no
    // face that bounds it.
    bool refusesNonGases() const;
    bool lacksBoundary() const;
    int bodyNumberForMessage(const model::CActionsData& d) const;
    void writeKind(model::EntryKind kind, const char* heading, Part part = Part::All);
    std::string lineFor(model::EntryKind kind, const model::CActions& entry, Part part) const;
    std::string materialLine(const model::CActionsData& d, Part part) const;
    std::string meshSizeLine(const model::CActionsData& d) const;
    std::string actionLine(const model::CActionsData& d) const;
    std::string reactionLine(const model::CActionsData& d) const;
    std::string interactionLine(const model::CActionsData& d) const;
    std::string faceActionLine(const model::CActionsData& d) const;
    std::string edgeActionLine(const model::CActionsData& d) const;
    std::string spinLine(const model::CActionsData& d) const;
    host::Point3 scaledPoint(const model::CActionsData& d) const;
    std::int32_t number(EntitySort sort, const model::CActionsData& d) const {
        return numbering_->number(sort, d.bodyKey().bytes(), d.entityKey().bytes());
    }
    void appendBodies() const;

    const SolverInputSource& source_;
    const Document& document_;
    const std::optional<SolveValues>& values_;
    std::optional<EntityNumbering> numbering_;
    platform::RefPtr<host::IQDDesignSession> design_;
    std::vector<formats::SolverInputSection> sections_;
};

// The lines of `text` (each ended by a line feed) as body lines.
void addLines(std::vector<std::string>& lines, const std::string& text) {
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
}

int Writer::run() {
    addon::writeValue(document_.solverInputPath(), "CurrentFile");
    if (values_ && refusedForSolve()) return 1;
    if (!startResultFile()) return 1;

    writeHeader();
    startSection("MODEL").push_back(platform::joinPath(document_.projectFolder(), "dump.stp"));
    startSection("MFILE").push_back(document_.meshPath());
    if (values_) writeSolveSections();
    if (values_ && isFluid() && !writesThermalSections()) reportHeatLeftOut();
    writeTablesAndMeshSettings();
    // A fluid loadcase keeps its thermal actions and held temperatures apart from the flow's, as
    // a Multiphysics one does; its one material line holds the heat constants too.
    const Part nonThermal = isMultiphysics() || isFluid() ? Part::Mechanical : Part::All;
    writeKind(model::kKindMaterial, "MATERIALS", isMultiphysics() ? Part::Mechanical : Part::All);
    writeKind(model::kKindMeshSize, "ESIZE");
    writeKind(model::kKindAction, "LOADS", nonThermal);
    writeKind(model::kKindReaction, "RESTRAINTS", nonThermal);
    writeKind(model::kKindInteraction, "CONSTRAINTS");
    if (isMultiphysics()) writeKind(model::kKindMaterial, "TMATERIALS", Part::Thermal);
    if (isMultiphysics() || writesThermalSections()) {
        writeKind(model::kKindAction, "TLOADS", Part::Thermal);
        writeKind(model::kKindReaction, "TRESTRAINTS", Part::Thermal);
    }
    {
        std::ofstream file(document_.solverInputPath(), std::ios::binary | std::ios::trunc);
        if (file) file << formats::solverInputText(sections_);
    }
    appendBodies();
    return 0;
}

bool Writer::refusedForSolve() {
    if (document_.sectionLines(model::kKindMaterial).empty()) {
        ui::showMessage("Assign a Material first");
        return true;
    }
    if (isMultiphysics() && lacksThermalValues()) return true;
    // A gas of viscosity 0 is inviscid, not a solid.
    if (isCompressible() && (refusesNonGases() || lacksBoundary())) return true;
    if (isFluid() && !isCompressible() && refusesSolidBodies()) return true;
    std::ifstream current(document_.solverInputPath());
    if (current && findSection(current, "HEA", 3) == 0) {
        ui::showMessage("Create a Mesh first");
        return true;
    }
    return false;
}

// The flow alone leaves the thermal entries out of its input, and says so: they are kept for a
// multiphysics solve, but this run does not use them.
void Writer::reportHeatLeftOut() const {
    for (const auto& entry : document_.entries()) {
        const auto& d = entry.data();
        const bool thermal = (d.kind() == model::kKindAction || d.kind() == model::kKindReaction) &&
                             !inPart(d.kind(), d.text(), Part::Mechanical);
        if (!thermal) continue;
        ui::showMessage(
            "The heat fluxes, convections, internal heats and held temperatures of this loadcase are left "
            "out: this flow carries no heat. Choose \"multiphysics\" to solve the flow with them.");
        return;
    }
}

bool Writer::lacksThermalValues() const {
    for (const auto& entry : document_.entries()) {
        if (entry.data().kind() != model::kKindMaterial) continue;
        if (materialFields(entry.data().text()).size() >= kMultiphysicsFields) continue;
        ui::showMessage(
            entry.data().text() +
            "\nThis material has no thermal values (conductivity, heat capacity): apply a material "
            "from the Materials dialog of this Multiphysics loadcase in its place");
        return true;
    }
    return false;
}

bool Writer::refusesSolidBodies() const {
    const model::CActionsData* fluid = nullptr;
    const model::CActionsData* solid = nullptr;
    for (const auto& entry : document_.entries()) {
        const auto& d = entry.data();
        if (d.kind() != model::kKindMaterial) continue;
        (isSolidMaterial(d.text()) ? solid : fluid) = &d;
    }
    if (!solid) return false;
    if (!carriesHeat()) {
        ui::showMessage(solid->text() +
                        "\nA body of dynamic viscosity 0 is a solid: heat conducts through it and nothing "
                        "flows in it. \"incompressible flow\" carries no heat; a part with solid bodies is "
                        "solved by \"multiphysics\".");
        return true;
    }
    if (fluid) return false;
    ui::showMessage(
        "A flow that carries heat needs at least one fluid body (dynamic viscosity above 0): every "
        "material of this loadcase has a dynamic viscosity of 0.");
    return true;
}

bool Writer::refusesNonGases() const {
    for (const auto& entry : document_.entries()) {
        const auto& d = entry.data();
        if (d.kind() != model::kKindMaterial) continue;
        const GasValues gas = gasValuesOf(d.text());
        if (gas == GasValues::Gas) continue;
        ui::showMessage(gasRefusal(gas, bodyNumberForMessage(d)));
        return true;
    }
    return false;
}

// A wall is a reaction, an inlet, outlet or far field an action on a face; a body's acceleration
// or initial state bounds nothing.
bool Writer::lacksBoundary() const {
    for (const auto& entry : document_.entries()) {
        const auto& d = entry.data();
        if (d.kind() == model::kKindReaction) return false;
        if (d.kind() == model::kKindAction && d.text().starts_with("face;")) return false;
    }
    ui::showMessage(
        "A compressible flow needs at least one boundary face: hold its walls in the Reactions dialog, or "
        "give faces an inlet, an outlet or a far field in the Actions dialog");
    return true;
}

// The body a material entry belongs to, for a message written before the input is: 1 in an
// assembly, 0 when the host cannot tell.
int Writer::bodyNumberForMessage(const model::CActionsData& d) const {
    if (!source_.partSession) return 1;
    try {
        return EntityNumbering(source_.partSession).bodyNumber(d.bodyKey().bytes());
    } catch (const platform::HostError&) {
        return 0;
    }
}

bool Writer::startResultFile() {
    {
        std::ofstream result(startedResultPath(), std::ios::binary | std::ios::trunc);
        result << "MESHFILE\n" << document_.meshPath() << "\n";
    }
    if (source_.partSession) {
        try {
            numbering_.emplace(source_.partSession);
        } catch (const platform::HostError&) {
            ui::showMessage("bug in Hollent api: IQDPartSessionPtr.GetBodies()");
            return false;
        }
        design_ = source_.partSession.query<host::IQDDesignSession>();
    } else {
        design_ = source_.assemblySession.require<host::IQDDesignSession>();
        numbering_.emplace(design_);
    }
    return true;
}

std::vector<std::string>& Writer::startSection(std::string heading) {
    sections_.push_back({std::move(heading), {}});
    return sections_.back().lines;
}

void Writer::writeHeader() {
    const int nodes = source_.nodesPerElement;
    const int code = headerCodeForSolveIndex(document_.solveIndex());
    auto& lines = startSection("HEADER");
    if (values_) {
        const auto& s = *values_;
        lines.push_back(format("0.001 %s scale=%g nod=%d elem=0 ana=%d %g %g %d", source_.unitText.c_str(),
                               source_.lengthScale, nodes, code, s[1], s[3], static_cast<int>(s[2])));
    } else {
        lines.push_back(format("0.001 %s scale=%g nod=%d elem=0 ana=%d", source_.unitText.c_str(),
                               source_.lengthScale, nodes, code));
    }
}

void Writer::writeSolveSections() {
    SolveValues s = *values_;
    // Rows 2 to 6, then the tolerance of row 1: a solver that reads five values still reads them.
    startSection("SOLVE").push_back(format("%g,%g,%g,%g,%g,%g", s[1], s[2], s[3], s[4], s[5], s[0]));
    switch (document_.solveIndex()) {
        case 1:
            if (s[5] == 0) s[5] = 1.0;
            startSection("TSTEP").push_back(
                format(" 1 %d, %g, %g %g", static_cast<int>(s[2]), s[3], s[4], s[5]));
            break;
        case 2:
            startSection("GSTEP");
            break;
        case 3:
            startSection("BUCKLE");
            break;
        case 5:
            startSection("DYNAMIC").push_back(format(" %g %g", s[5], s[6]));
            break;
        case 7:
            startSection("PRINT").push_back(format(" %d", static_cast<int>(s[2])));
            startSection("DYNAMIC").push_back(format(" %g %g", s[5], s[6]));
            break;
        default:
            break;
    }
}

void Writer::writeTablesAndMeshSettings() {
    auto& tables = startSection("TABLES");
    for (const auto& e : document_.entries())
        if (e.data().kind() == model::kKindTable) addLines(tables, ' ' + e.data().text() + '\n');
    auto& settings = startSection("MSET");
    for (const auto& e : document_.entries()) {
        if (e.data().kind() != model::kKindMesherParameters) continue;
        addLines(settings, ' ' + afterFirst(e.data().text(), ':') + '\n');
        break;
    }
}

void Writer::writeKind(model::EntryKind kind, const char* heading, Part part) {
    auto& lines = startSection(heading);
    if (document_.sectionLines(kind).empty()) return;
    for (const auto& entry : document_.entries()) {
        if (entry.data().kind() != kind || !inPart(kind, entry.data().text(), part)) continue;
        try {
            addLines(lines, lineFor(kind, entry, part));
        } catch (const platform::HostError&) {
            ui::showMessage(entry.data().text() +
                            "\nAttribute applied to obsolete entity; you must delete it!");
        }
    }
}

std::string Writer::lineFor(model::EntryKind kind, const model::CActions& entry, Part part) const {
    const auto& d = entry.data();
    switch (kind) {
        case model::kKindMaterial:
            return materialLine(d, part);
        case model::kKindMeshSize:
            return meshSizeLine(d);
        case model::kKindAction:
            return actionLine(d);
        case model::kKindReaction:
            return reactionLine(d);
        case model::kKindInteraction:
            return interactionLine(d);
        default:
            return {};
    }
}

// A Multiphysics material's line is the mechanical one (its first 13 values), or the thermal one
// as a thermal loadcase writes it: k, ky, kz, the density (the mechanical one) and c.
std::string Writer::materialLine(const model::CActionsData& d, Part part) const {
    const std::string body = format("%d ", numbering_->bodyNumber(d.bodyKey().bytes()));
    if (part == Part::All) return body + materialValues(d.text()) + "\n";
    const auto fields = materialFields(d.text());
    std::string values;
    if (part == Part::Mechanical) {
        for (std::size_t i = 0; i < kMechanicalFields; ++i)
            values += (i > 0 ? "," : "") + fieldOr0(fields, i);
    } else {
        // The blank after the description's ": " leads the values, as in every material line.
        const std::string& first = fields.front();
        const std::string lead = first.substr(0, first.find_first_not_of(' '));
        values = lead + fieldOr0(fields, 13) + "," + fieldOr0(fields, 14) + "," + fieldOr0(fields, 15) + "," +
                 fieldOr0(fields, 3) + "," + fieldOr0(fields, 16);
    }
    return body + values + "\n";
}

host::Point3 Writer::scaledPoint(const model::CActionsData& d) const {
    host::Point3 p;
    if (const int n = designPointNumber(d.text()); n > 0) {
        platform::require(design_, host::IQDDesignSession::iid);
        check(design_->GetDesignPoint(n, &p), host::IQDDesignSession::iid);
    } else {
        auto vertex = numbering_->find(d.bodyKey().bytes(), d.entityKey().bytes()).require<host::IQDVertex>();
        check(vertex->GetPoint(&p), host::IQDVertex::iid);
    }
    const double s = source_.lengthScale;
    return {p.x * s, p.y * s, p.z * s};
}

std::string Writer::meshSizeLine(const model::CActionsData& d) const {
    const double size = std::atof(afterFirst(d.text(), '=').c_str());
    switch (d.text().empty() ? '\0' : d.text()[0]) {
        case 'f':
            return format("bos %d %f\n", number(EntitySort::Face, d), size);
        case 'e':
            return format("eos %d %f\n", number(EntitySort::Edge, d), size);
        case 'v':
        case 'p': {
            const auto p = scaledPoint(d);
            return format("pxs %g,%g,%g %f\n", p.x, p.y, p.z, size);
        }
        default:
            return {};
    }
}

std::string Writer::actionLine(const model::CActionsData& d) const {
    const std::string& text = d.text();
    const std::string value = afterFirst(text, '=');
    switch (text.empty() ? '\0' : text[0]) {
        case 'f':
            return faceActionLine(d);
        case 'e':
            return edgeActionLine(d);
        case 'v':
        case 'p': {
            const auto p = scaledPoint(d);
            return format("pxf %g,%g,%g ", p.x, p.y, p.z) + value + "\n";
        }
        case 'a':
        case 'b':
            // A gas's initial pressure and temperature hold for the whole model.
            if (text.starts_with("body;initial state=")) return "il " + value + "\n";
            return "al " + value + "\n";
        case 't':
            return "t " + platform::joinPath(document_.projectFolder(), value) + ".out\n";
        case 's':
            return spinLine(d);
        default:
            return {};
    }
}

// Entries stored before edges and vertices had texts of their own read "face;" whatever was
// picked: a load on an edge is written as the edge's line load and a heat on a vertex as a point
// heat; other face actions on an edge or a vertex are reported (the solver could not place them).
std::string Writer::faceActionLine(const model::CActionsData& d) const {
    const std::string& text = d.text();
    const auto entity = numbering_->find(d.bodyKey().bytes(), d.entityKey().bytes());
    const char letter = letterAfterSemicolon(text);
    if (!entity.query<host::IQDFace>()) {
        if (entity.query<host::IQDEdge>() && letter == 'l') return edgeActionLine(d);
        if (entity.query<host::IQDVertex>() && letter == 'h') {
            const auto p = scaledPoint(d);
            return format("pxf %g,%g,%g ", p.x, p.y, p.z) + afterFirst(text, '=') + "\n";
        }
        ui::showMessage(text +
                        "\nacts on faces but was applied to an edge or a vertex: delete it and apply "
                        "it to faces");
        return {};
    }
    return format("bol %d ", number(EntitySort::Face, d)) + loadCode(letter) + afterFirst(text, '=') + "\n";
}

std::string Writer::edgeActionLine(const model::CActionsData& d) const {
    const auto faces = numbering_->edgeFaces(d.bodyKey().bytes(), d.entityKey().bytes());
    const std::string ref = faces ? format("efl %d %d ", faces->first, faces->second)
                                  : format("efl %d 0 ", number(EntitySort::Edge, d));
    return ref + loadCode(letterAfterSemicolon(d.text())) + afterFirst(d.text(), '=') + "\n";
}

std::string Writer::spinLine(const model::CActionsData& d) const {
    auto face = numbering_->find(d.bodyKey().bytes(), d.entityKey().bytes()).query<host::IQDFace>();
    std::int32_t kind = host::kSurfaceOther;
    if (face) check(face->get_SurfaceKind(&kind), host::IQDFace::iid);
    if (kind != host::kSurfaceCylinder && kind != host::kSurfaceCone && kind != host::kSurfaceRevolution) {
        ui::showMessage(d.text() +
                        "\nA spin takes its axis from its face, and this one is not a surface of revolution: "
                        "delete it and apply the spin to a cylindrical, conical or revolved face");
        return {};
    }
    host::Point3 origin, direction;
    check(face->GetAxis(&origin, &direction), host::IQDFace::iid);
    const double s = source_.lengthScale;
    return format("cx %g,%g,%g %g %g %g ", origin.x * s, origin.y * s, origin.z * s,
                  (origin.x + direction.x) * s, (origin.y + direction.y) * s, (origin.z + direction.z) * s) +
           afterFirst(d.text(), '=') + "\n";
}

std::string Writer::reactionLine(const model::CActionsData& d) const {
    const std::string& text = d.text();
    std::string ref;
    if (text.rfind("point<", 0) == 0) {
        const auto p = scaledPoint(d);
        ref = format("pxr %g,%g,%g ", p.x, p.y, p.z);
    } else {
        switch (text.empty() ? '\0' : text[0]) {
            case 'f':
                ref = format("bor %d ", number(EntitySort::Face, d));
                break;
            case 'e': {
                const auto faces = numbering_->edgeFaces(d.bodyKey().bytes(), d.entityKey().bytes());
                ref = faces ? format("efr %d %d ", faces->first, faces->second)
                            : format("eor %d ", number(EntitySort::Edge, d));
                break;
            }
            // A picked vertex is stored as "point;fix,...": it is referenced by its number.
            case 'v':
            case 'p':
                ref = format("por %d ", number(EntitySort::Vertex, d));
                break;
            default:
                return {};
        }
    }
    if (const auto temperature = heldTemperature(text)) return ref + "temp " + *temperature + "\n";
    const char* flags = freedomFlags(fixityIndex(text));
    return ref + (flags ? flags : "") + "\n";
}

std::string Writer::interactionLine(const model::CActionsData& d) const {
    const std::string value = afterFirst(d.text(), '=');
    switch (letterAfterSemicolon(d.text())) {
        // A normal gap limits the face's normal displacement; it is a contact, not an imposed
        // displacement, so it has its own code ("bocn" stays the displacement).
        case 'n':
            return format(isNormalGap(d.text()) ? "bogn %d " : "bocn %d ", number(EntitySort::Face, d)) +
                   value + "\n";
        case 'd':
            return format("boc %d ", number(EntitySort::Face, d)) + value + "\n";
        case 'g':
            return format("bog %d ", number(EntitySort::Face, d)) + value + "\n";
        case 'i':
            return format("boi %d\n", number(EntitySort::Face, d));
        default:
            return {};
    }
}

void Writer::appendBodies() const {
    if (!numbering_ || !numbering_->isPart() || numbering_->totals().empty()) return;
    std::ofstream result(startedResultPath(), std::ios::binary | std::ios::app);
    const auto& totals = numbering_->totals();
    result << format("BODIES %d\n", static_cast<int>(totals.size()));
    for (std::size_t i = 0; i < totals.size(); ++i)
        result << format(" %d %d %d %d\n", static_cast<int>(i + 1), totals[i].faces, totals[i].edges,
                         totals[i].vertices);
    result << "END\n";
}

}  // namespace

int writeSolverInput(const SolverInputSource& source, const std::optional<SolveValues>& values) {
    return Writer(source, values).run();
}

}  // namespace loadcase
