#pragma once
// What a dialog resource holds: id, caption, size and the controls in tab order.
#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

struct DialogTemplate {
    int id = 0;
    std::string caption;
    Rect rect;
    std::vector<ControlTemplate> controls;

    DialogTemplate& add(int controlId, ControlKind kind, std::string text, Rect r,
                        unsigned style = kStyleNone) {
        controls.push_back({controlId, kind, std::move(text), r, style});
        return *this;
    }
    // A push button showing the 16 x 16 icon resource `icon` beside its text.
    DialogTemplate& addIconButton(int controlId, std::string text, Rect r, int icon) {
        controls.push_back({controlId, ControlKind::Button, std::move(text), r, kStyleNone, icon});
        return *this;
    }
    // A picture control showing the bitmap resource `bitmap`, stretched over its rectangle.
    DialogTemplate& addPicture(int controlId, Rect r, int bitmap) {
        controls.push_back({controlId, ControlKind::Static, "", r, kStyleNone, bitmap});
        return *this;
    }
};

}  // namespace ui
