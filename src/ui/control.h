#pragma once
// Controls of a dialog: their template (what the dialog resource says) and their live state.
#include <string>
#include <vector>

namespace ui {

enum class ControlKind { Static, Edit, Button, Radio, CheckBox, GroupBox, ListBox, ComboBox, Slider, Custom };

// Dialog-unit-free rectangle in pixels: left, top, right, bottom.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// Styles a control can carry; several may be combined.
enum ControlStyle : unsigned {
    kStyleNone = 0,
    kStyleHidden = 1u << 0,     // created invisible
    kStyleDisabled = 1u << 1,   // created disabled
    kStyleGroup = 1u << 2,      // starts a new radio-button group
    kStylePassword = 1u << 3,   // edit shows bullets
    kStyleSorted = 1u << 4,     // list/combo keeps its items sorted
    kStyleDefault = 1u << 5,    // the default push button
    kStyleReadOnly = 1u << 6,   // edit the user cannot change
    kStyleMultiLine = 1u << 7,  // edit with several lines
    kStyleNoPrefix = 1u << 8,   // static text shown as is ('&' not an accelerator)
    kStyleNotify = 1u << 9,     // list/static sends notifications
    kStyleVertical = 1u << 10,  // slider standing upright
};

struct ControlTemplate {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    std::string text;
    Rect rect;
    unsigned style = kStyleNone;
    int icon = 0;  // the 16 x 16 icon of an icon button, the bitmap of a picture; 0 for none
};

struct Control {
    ControlTemplate tmpl;
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    std::vector<std::string> items;  // list and combo boxes
    std::vector<long> itemData;      // one value per item
    int selection = -1;              // selected item, -1 for none
    int rangeMin = 0;                // sliders
    int rangeMax = 100;
    int position = 0;

    int id() const { return tmpl.id; }
    ControlKind kind() const { return tmpl.kind; }
    bool hasItems() const { return kind() == ControlKind::ListBox || kind() == ControlKind::ComboBox; }
};

// Ids of the standard buttons and answers.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Scroll codes a slider sends with its position.
enum ScrollCode : int {
    kScrollLineUp = 0,
    kScrollLineDown = 1,
    kScrollPageUp = 2,
    kScrollPageDown = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
    kScrollTop = 6,
    kScrollBottom = 7,
    kScrollEnd = 8,
};

}  // namespace ui
