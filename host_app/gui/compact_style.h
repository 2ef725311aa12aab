#pragma once
// The add-on's dialogs place their controls at fixed pixel rectangles made for a compact desktop
// style; GTK's default theme gives sliders, buttons and edits larger minimum sizes than those
// rectangles, and a slider 20 pixels high is then not drawn at all. This lays a small style sheet
// over the theme for the whole program.
namespace hostapp::gui {

// Call once the window system has started; does nothing where GTK offers no style sheets.
void installCompactStyle();

}  // namespace hostapp::gui
