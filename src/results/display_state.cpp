#include "results/display_state.h"

namespace results {

DisplayState& displayState() {
    static DisplayState state;
    return state;
}

void resetDisplayState() {
    displayState() = DisplayState{};
}

std::string noValuesText(std::string_view legendLabel) {
    return "No " + std::string(legendLabel) + " values in the result file";
}

}  // namespace results
