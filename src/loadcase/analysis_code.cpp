#include "loadcase/analysis_code.h"

namespace loadcase {

int headerCodeForType(int type) {
    switch (type) {
        case kTypeThermal:
            return 1;
        case kTypeFluidFlow:
            return 8;
        default:
            return 0;  // mechanical and multiphysics
    }
}

AnalysisSetting settingForHeaderCode(std::int64_t code, AnalysisSetting current) {
    if (code < 0) return {kTypeMechanical, 1};
    if (code >= kFirstFluidAnalysis && code <= kLastFluidAnalysis)
        return {kTypeFluidFlow, static_cast<int>(code)};
    if (code >= kFirstMultiphysicsAnalysis && code <= kLastMultiphysicsAnalysis)
        return {kTypeMultiphysics, static_cast<int>(code)};
    if (code > kLastMultiphysicsAnalysis) return {kTypeFluidFlow, kFirstFluidAnalysis};
    switch (code) {
        case 0:
            return {kTypeMechanical, 0};
        case 1:
            return {kTypeThermal, 6};
        case 2:
            return {kTypeThermal, 7};
        case 3:
            return {kTypeMechanical, 4};
        case 5:
            return {kTypeMechanical, 5};
        default:  // 4, 6 and 7 leave the solve index as it is
            return {kTypeMechanical, current.solveIndex};
    }
}

int typeOfLoadcaseText(std::string_view text) {
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos) return -1;
    const std::string_view digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 3) return -1;
    int type = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        type = type * 10 + (c - '0');
    }
    return type;
}

AnalysisSetting withLoadcaseEntryType(AnalysisSetting fromHeader, int entryType) {
    if (entryType == kTypeMultiphysics && fromHeader.type == kTypeMechanical)
        fromHeader.type = kTypeMultiphysics;
    return fromHeader;
}

}  // namespace loadcase
