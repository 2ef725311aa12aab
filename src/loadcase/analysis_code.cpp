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
    if (code >= 8) return {kTypeFluidFlow, 8};
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

}  // namespace loadcase
