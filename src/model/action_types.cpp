#include "model/action_types.h"

#include <string_view>

namespace model {

namespace {

#define KV_BASE "2. Enter values, table names or equations "

const std::vector<ActionType> kMechanical = {
    {"point: force x,y,z", 3, KV_BASE "&& select points", "Fx,Fy,Fz=", "N", "N", "(lbf)", false,
     "vertex;force=", kOnVertices, "points"},
    {"face: distributed loads x,y,z", 3, KV_BASE "&& select faces", "fx,fy,fz=", "(N/mm2)", "(N/m2)",
     "(lbf/in2)", false, "face;load=", kOnFaces | kOnEdges, "faces or edges"},
    {"face: pressure", 1, KV_BASE "&& select faces", "pressure, P=", "(N/mm2)", "(N/m2)", "(lbf/in2)", false,
     "face;pressure=", kOnFaces, "faces"},
    {"body: accelerations ax,ay,az", 3, KV_BASE "&& select face on body", "ax,ay,az=", "(m/s2)", "(m/s2)",
     "(in/s2)", false, "accel=", kOnBody, "a face on the body"},
    {"body: spin speed", 1, "2. Enter value, table name or equation && select a revolved-surface face",
     "V=", "(radians/s)", "(radians/s)", "(radians/s)", true, "spin_speed=", kOnFaces,
     "a revolved-surface face (cylinder, cone or surface of revolution)"},
    {"body: temperatures", 1, "2. Enter loadcase name && select face on body", "name=", "", "", "", true,
     "thermal=", kOnBody, "a face on the body"},
};

const std::vector<ActionType> kThermal = {
    {"face: heat flux", 1, KV_BASE "&& select points or faces (not both)", "heat, q=", "W/mm2", "W/m2",
     "(Btu/(s-in2))", false, "face;heat=", kOnFaces | kOnVertices, "points or faces"},
    {"face: convection", 2, KV_BASE "&& select faces", "htc, temperature=", "(W/(mm2.C), C)", "(W/(m2.C), C)",
     "(Btu/(s.in2.F), F", false, "face;convection=", kOnFaces, "faces"},
    {"body: internal heat", 1, KV_BASE "&& select faces", "heat, Q=", "(W/mm3)", "(W/m3)", "(Btu/(s.in3)",
     false, "body;heat generation=", kOnBody, "a face on the body"},
};

// A fluid's face carries a velocity (an inlet or a moving wall) or a pressure (an opening); its
// body an acceleration. A face with neither, and no reaction, is a free outlet.
const std::vector<ActionType> kFluid = {
    {"face: velocity vx,vy,vz", 3, KV_BASE "&& select faces", "vx,vy,vz=", "(mm/s)", "(m/s)", "(in/s)", false,
     "face;velocity=", kOnFaces, "faces"},
    {"face: pressure", 1, KV_BASE "&& select faces", "pressure, P=", "(N/mm2)", "(N/m2)", "(lbf/in2)", false,
     "face;pressure=", kOnFaces, "faces"},
    {"body: accelerations ax,ay,az", 3, KV_BASE "&& select face on body", "ax,ay,az=", "(m/s2)", "(m/s2)",
     "(in/s2)", false, "accel=", kOnBody, "a face on the body"},
};

// A gas enters through a face at a total pressure and temperature; its initial state is a
// pressure and a temperature over the whole model (formulas of x, y, z make it non-uniform).
const std::vector<ActionType> kGas = {
    {"face: total pressure, temperature", 2, KV_BASE "&& select faces", "p0, T0=", "(N/mm2, C)", "(N/m2, C)",
     "(lbf/in2, F)", false, "face;total pressure=", kOnFaces, "faces"},
    {"body: initial pressure, temperature", 2, KV_BASE "&& select face on body", "p, T=", "(N/mm2, C)",
     "(N/m2, C)", "(lbf/in2, F)", false, "body;initial state=", kOnBody, "a face on the body"},
};

#define KV_FACES KV_BASE "&& select faces"

// A Multiphysics loadcase takes the mechanical actions, then the thermal ones. Its temperatures
// are its own, so "body: temperatures" (a field of another loadcase) is left out.
std::vector<ActionType> multiphysicsTypes() {
    std::vector<ActionType> types;
    for (const auto& type : kMechanical)
        if (std::string_view(type.textHead) != "thermal=") types.push_back(type);
    types.insert(types.end(), kThermal.begin(), kThermal.end());
    return types;
}

const std::vector<ActionType> kMultiphysics = multiphysicsTypes();

// A fluid loadcase takes the flow's actions, then the thermal ones for a flow that carries heat,
// then the gas's (appended, so that the stored codes of the others stay). The flow solver places
// heat on faces only, so the heat flux takes faces and no points.
std::vector<ActionType> fluidTypes() {
    std::vector<ActionType> types = kFluid;
    for (ActionType type : kThermal) {
        if (std::string_view(type.textHead) == "face;heat=") {
            type.prompt = KV_FACES;
            type.targets = kOnFaces;
            type.actsOn = "faces";
        }
        types.push_back(type);
    }
    types.insert(types.end(), kGas.begin(), kGas.end());
    return types;
}

const std::vector<ActionType> kFluidWithHeat = fluidTypes();

#undef KV_FACES
#undef KV_BASE

bool typeHasHead(AnalysisClass cls, int code, std::string_view head) {
    const auto& types = actionTypes(cls);
    return code >= 0 && static_cast<std::size_t>(code) < types.size() &&
           types[static_cast<std::size_t>(code)].textHead == head;
}

}  // namespace

const std::vector<ActionType>& actionTypes(AnalysisClass cls) {
    switch (cls) {
        case AnalysisClass::Thermal:
            return kThermal;
        case AnalysisClass::Fluid:
            return kFluidWithHeat;
        case AnalysisClass::Multiphysics:
            return kMultiphysics;
        default:
            return kMechanical;
    }
}

const char* actionUnitLabel(const ActionType& type, const std::string& unitText) {
    if (type.anyUnit) return type.unitMm;
    if (unitText.size() >= 2 && unitText[0] == 'm') return unitText[1] == 'm' ? type.unitMm : type.unitM;
    if (!unitText.empty() && unitText[0] == 'i') return type.unitIn;
    return nullptr;
}

std::string actionText(AnalysisClass cls, int code, const std::string& v1, const std::string& v2,
                       const std::string& v3) {
    const auto& types = actionTypes(cls);
    if (code < 0 || static_cast<std::size_t>(code) >= types.size()) return {};
    const ActionType& type = types[static_cast<std::size_t>(code)];
    std::string text = type.textHead + v1;
    if (type.valueCount >= 2) text += ", " + v2;
    if (type.valueCount >= 3) text += ", " + v3;
    return text;
}

bool actsOn(const ActionType& type, PickedSort sort) {
    if (type.targets & kOnBody) return true;
    switch (sort) {
        case PickedSort::Face:
            return (type.targets & kOnFaces) != 0;
        case PickedSort::Edge:
            return (type.targets & kOnEdges) != 0;
        case PickedSort::Vertex:
            return (type.targets & kOnVertices) != 0;
    }
    return false;
}

std::string actionTextOn(AnalysisClass cls, int code, PickedSort sort, const std::string& v1,
                         const std::string& v2, const std::string& v3) {
    std::string text = actionText(cls, code, v1, v2, v3);
    if (!text.starts_with("face;") || sort == PickedSort::Face) return text;
    return (sort == PickedSort::Edge ? "edge" : "vertex") + text.substr(4);
}

std::string refusalOn(const ActionType& type, PickedSort sort) {
    const char* picked = sort == PickedSort::Face   ? "a face"
                         : sort == PickedSort::Edge ? "an edge"
                                                    : "a point";
    return std::string("\"") + type.listText + "\" cannot act on " + picked + ": select " + type.actsOn;
}

std::string designPointHeatText(int number, const std::string& v1) {
    return "point<" + std::to_string(number) + ">;heat=" + v1;
}

bool heatsDesignPoints(AnalysisClass cls, int code) {
    return loadcase::hasThermalPart(cls) && typeHasHead(cls, code, "face;heat=");
}

std::string designPointForceText(int number, const std::string& v1, const std::string& v2,
                                 const std::string& v3) {
    return "point<" + std::to_string(number) + ">;force=" + v1 + "," + v2 + "," + v3;
}

bool forcesDesignPoints(AnalysisClass cls, int code) {
    return loadcase::hasMechanicalPart(cls) &&
           (typeHasHead(cls, code, "vertex;force=") || typeHasHead(cls, code, "face;load=") ||
            typeHasHead(cls, code, "accel="));
}

}  // namespace model
