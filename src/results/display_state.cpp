#include "results/display_state.h"

namespace results {

DisplayState& displayState() {
    static DisplayState state;
    return state;
}

void resetDisplayState() { displayState() = DisplayState{}; }

}  // namespace results
