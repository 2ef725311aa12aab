#include "ui_wx/widget_views.h"

#include "ui_wx/canvas_view.h"
#include "ui_wx/editable_grid_view.h"
#include "ui_wx/gl_scene_view.h"
#include "ui_wx/property_grid_view.h"
#include "ui_wx/widget_view.h"

namespace ui_wx {

void registerWidgetViews() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    addWidgetViewFactory([](wxWindow* parent, ui::Dialog& dialog, int,
                            ui::CustomWidget* widget) -> std::unique_ptr<WidgetView> {
        if (auto* grid = dynamic_cast<widgets::PropertyGrid*>(widget))
            return std::make_unique<PropertyGridView>(parent, *grid);
        if (auto* grid = dynamic_cast<widgets::EditableGrid*>(widget))
            return std::make_unique<EditableGridView>(parent, *grid);
        if (auto* canvas = dynamic_cast<widgets::CanvasWidget*>(widget))
            return std::make_unique<CanvasView>(parent, *canvas);
        if (auto* scene = dynamic_cast<render::ISceneView*>(widget))
            return std::make_unique<GlSceneView>(parent, dialog, *scene);
        return nullptr;
    });
}

}  // namespace ui_wx
