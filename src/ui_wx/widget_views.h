#pragma once
// Registers the views of the add-on's widgets (property grid, editable grid, canvas-drawn
// widgets such as the time graph's plot) with the backend; the host calls it once at start-up.
namespace ui_wx {

void registerWidgetViews();

}  // namespace ui_wx
