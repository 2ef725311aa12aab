#include "addon_base/library_state.h"

namespace addon {

LibraryState& library() {
    static LibraryState state;
    return state;
}

void resetLibrary() {
    library() = LibraryState{};
}

}  // namespace addon
