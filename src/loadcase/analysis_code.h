#pragma once
// Analysis types of a loadcase and the analysis codes of its header file.
#include <cstdint>
#include <string_view>

namespace loadcase {

// Analysis types, as chosen in the loadcase dialog and written after the name in the loadcase entry.
inline constexpr int kTypeMechanical = 0;
inline constexpr int kTypeThermal = 6;
inline constexpr int kTypeFluidFlow = 8;
inline constexpr int kTypeMultiphysics = 10;

// Solve index of a buckling analysis (the header's "BUCKLE" line).
inline constexpr int kSolveIndexBuckling = 3;
// The fluid analyses: incompressible flow, compressible flow and fluid multiphysics are solve
// indexes and header codes 8, 9 and 10.
inline constexpr int kFirstFluidAnalysis = 8;
inline constexpr int kCompressibleFlow = 9;
inline constexpr int kFluidMultiphysics = 10;  // incompressible flow that carries heat
inline constexpr int kLastFluidAnalysis = 10;
// The thermal stress analyses of a Multiphysics loadcase (steady, transient, buckling, natural
// frequencies) are solve indexes and header codes 11 to 14.
inline constexpr int kFirstMultiphysicsAnalysis = 11;
inline constexpr int kTransientThermalStress = 12;
inline constexpr int kThermalNaturalFrequencies = 14;
inline constexpr int kLastMultiphysicsAnalysis = 14;

// The physics whose analyses a loadcase of analysis type `type` runs; each analysis type is its
// own physics.
inline int physicsOfType(int type) {
    return type;
}

// The solve index of the first analysis of `physics`: the solve list of a physics starts there.
inline int firstSolveIndexOf(int physics) {
    return physics == kTypeMultiphysics ? kFirstMultiphysicsAnalysis : physics;
}

// The analysis class of a loadcase: it chooses the material properties, action types and table
// lists that the model dialogs offer. A Multiphysics loadcase is thermal and mechanical at once.
enum class AnalysisClass { Mechanical, Thermal, Fluid, Multiphysics };

inline AnalysisClass analysisClassOf(int type) {
    if (type == kTypeThermal) return AnalysisClass::Thermal;
    if (type == kTypeFluidFlow) return AnalysisClass::Fluid;
    if (type == kTypeMultiphysics) return AnalysisClass::Multiphysics;
    return AnalysisClass::Mechanical;
}

// Whether a loadcase of class `c` takes the mechanical, or the thermal, materials and actions.
inline bool hasMechanicalPart(AnalysisClass c) {
    return c == AnalysisClass::Mechanical || c == AnalysisClass::Multiphysics;
}
inline bool hasThermalPart(AnalysisClass c) {
    return c == AnalysisClass::Thermal || c == AnalysisClass::Multiphysics;
}

// The class as the loadcase dialog names it: "Mechanical", "Thermal", "Fluid flow", "Multiphysics".
inline const char* analysisClassName(AnalysisClass c) {
    switch (c) {
        case AnalysisClass::Thermal:
            return "Thermal";
        case AnalysisClass::Fluid:
            return "Fluid flow";
        case AnalysisClass::Multiphysics:
            return "Multiphysics";
        default:
            return "Mechanical";
    }
}

// The analysis type and solve index a loadcase opens with.
struct AnalysisSetting {
    int type = kTypeMechanical;
    int solveIndex = 0;
    friend bool operator==(const AnalysisSetting&, const AnalysisSetting&) = default;
};

// The header analysis code of a new loadcase of `type`: 1 for thermal, 8 for fluid flow, otherwise 0.
int headerCodeForType(int type);

// The setting a header analysis code `code` gives; codes that do not fix the solve index keep
// `current.solveIndex`. A fluid code (8 to 10) keeps its fluid analysis, a thermal stress code (11 to
// 14) gives a Multiphysics loadcase with that analysis; higher codes give 8.
AnalysisSetting settingForHeaderCode(std::int64_t code, AnalysisSetting current);

// The analysis type written after the last ':' of a loadcase entry text ("Run 2:10" -> 10); -1
// when the text holds none.
int typeOfLoadcaseText(std::string_view text);

// The header keeps the code of a Multiphysics loadcase as Mechanical (0); its loadcase entry tells
// the two apart. `entryType` of Multiphysics turns a Mechanical `fromHeader` into Multiphysics.
AnalysisSetting withLoadcaseEntryType(AnalysisSetting fromHeader, int entryType);

}  // namespace loadcase
