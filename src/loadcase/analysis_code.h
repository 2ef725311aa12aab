#pragma once
// Analysis types of a loadcase and the analysis codes of its header file.
#include <cstdint>

namespace loadcase {

// Analysis types, as chosen in the loadcase dialog and written after the name in the loadcase entry.
inline constexpr int kTypeMechanical = 0;
inline constexpr int kTypeThermal = 6;
inline constexpr int kTypeFluidFlow = 8;
inline constexpr int kTypeMultiphysics = 10;

// Solve index of a buckling analysis (the header's "BUCKLE" line).
inline constexpr int kSolveIndexBuckling = 3;

// The analysis type and solve index a loadcase opens with.
struct AnalysisSetting {
    int type = kTypeMechanical;
    int solveIndex = 0;
    friend bool operator==(const AnalysisSetting&, const AnalysisSetting&) = default;
};

// The header analysis code of a new loadcase of `type`: 1 for thermal, 8 for fluid flow, otherwise 0.
int headerCodeForType(int type);

// The setting a header analysis code `code` gives; codes that do not fix the solve index keep
// `current.solveIndex`.
AnalysisSetting settingForHeaderCode(std::int64_t code, AnalysisSetting current);

}  // namespace loadcase
