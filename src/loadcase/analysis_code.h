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
inline constexpr int kLastFluidAnalysis = 10;

// The physics whose analyses a loadcase of analysis type `type` runs: a Multiphysics loadcase runs
// the mechanical ones (it has none of its own yet).
inline int physicsOfType(int type) {
    return type == kTypeMultiphysics ? kTypeMechanical : type;
}

// The analysis class of a loadcase: it chooses the material properties, action types and table
// lists that the model dialogs offer. A Multiphysics loadcase is of the mechanical class.
enum class AnalysisClass { Mechanical, Thermal, Fluid };

inline AnalysisClass analysisClassOf(int type) {
    if (type == kTypeThermal) return AnalysisClass::Thermal;
    if (type == kTypeFluidFlow) return AnalysisClass::Fluid;
    return AnalysisClass::Mechanical;
}

// The class as the loadcase dialog names it: "Mechanical", "Thermal", "Fluid flow".
inline const char* analysisClassName(AnalysisClass c) {
    switch (c) {
        case AnalysisClass::Thermal:
            return "Thermal";
        case AnalysisClass::Fluid:
            return "Fluid flow";
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
// `current.solveIndex`. A fluid code (8 to 10) keeps its fluid analysis; higher codes give 8.
AnalysisSetting settingForHeaderCode(std::int64_t code, AnalysisSetting current);

// The analysis type written after the last ':' of a loadcase entry text ("Run 2:10" -> 10); -1
// when the text holds none.
int typeOfLoadcaseText(std::string_view text);

// The header keeps the code of a Multiphysics loadcase as Mechanical (0); its loadcase entry tells
// the two apart. `entryType` of Multiphysics turns a Mechanical `fromHeader` into Multiphysics.
AnalysisSetting withLoadcaseEntryType(AnalysisSetting fromHeader, int entryType);

}  // namespace loadcase
