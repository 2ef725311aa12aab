#pragma once
// The 16 x 16 pictures of the toolbox's buttons, drawn at start-up, by resource id.
#include <wx/bitmap.h>

#include <vector>

namespace ui_wx {

// The resource ids that have a picture.
std::vector<int> toolboxIconIds();
// The picture of `icon`; an invalid bitmap for an unknown id.
wxBitmap toolboxIcon(int icon);
// Registers the pictures as the backend's icon source (called once at start-up).
void installToolboxIcons();

}  // namespace ui_wx
