#pragma once
// A widgets::PropertyGrid on a wxPropertyGrid: sections as collapsible categories, string items
// as string properties, combos as enum properties and file items as file properties with the
// item's filter. A person's edits, choices and section toggles become the model's user* calls;
// sync() shows the model's values without sending anything back.
#include <vector>

#include "ui_wx/widget_view.h"
#include "widgets/property_grid.h"

class wxPropertyGrid;
class wxPGProperty;
class wxPropertyGridEvent;

namespace ui_wx {

class PropertyGridView : public WidgetView {
  public:
    PropertyGridView(wxWindow* parent, widgets::PropertyGrid& model);
    wxWindow* window() override;
    void sync() override;
    wxPropertyGrid* grid() const { return grid_; }
    // The wx property showing item `h`, null when none does.
    wxPGProperty* propertyOf(widgets::PropertyHandle h) const;

  private:
    void rebuild();
    void showValues();
    void onChanged(wxPropertyGridEvent& event);
    void onToggled(wxPropertyGridEvent& event);

    widgets::PropertyGrid& model_;
    wxPropertyGrid* grid_;
    std::vector<widgets::PropertyHandle> shown_;  // the handles the grid was built from
    bool syncing_ = false;
};

}  // namespace ui_wx
