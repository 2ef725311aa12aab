#pragma once
// A ui::TreeControl on a wxTreeCtrl, as the explorer panel shows its loadcase: the model's lines
// and images, rebuilt on every change of the lines while keeping which lines are open (new lines
// open), the selection both ways, and a right click or the context-menu key passed to the model's
// userContextMenu (0 for a right click beside all lines).
#include <set>
#include <string>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/treebase.h>

#include "ui/tree_control.h"

class wxTreeCtrl;
class wxTreeEvent;
class wxWindow;
class wxMouseEvent;

namespace ui_wx {

class TreeView {
  public:
    TreeView(wxWindow* parent, ui::TreeControl& model);
    ~TreeView();
    TreeView(const TreeView&) = delete;
    TreeView& operator=(const TreeView&) = delete;

    wxTreeCtrl* window() const { return tree_; }
    // The screen rectangle of the first line with `text` (depth-first), empty when none shows.
    wxRect itemScreenRect(const std::string& text) const;
    // Shows the model's lines and selection.
    void sync();

  private:
    void rebuild();
    void addChildren(ui::TreeItem parent, const wxTreeItemId& under, const std::string& path);
    wxTreeItemId idOf(ui::TreeItem item) const;
    ui::TreeItem itemOf(const wxTreeItemId& id) const;
    std::string pathOf(const wxTreeItemId& id) const;
    void onSelChanged(wxTreeEvent& event);
    void onRightDown(wxMouseEvent& event);
    void onRightUp(wxMouseEvent& event);
    // Runs the context menu's handler on `item`, then the host's work after a person's action.
    void openContextMenu(ui::TreeItem item);
    void onKeyDown(wxTreeEvent& event);

    ui::TreeControl& model_;
    wxTreeCtrl* tree_;
    std::string shownLines_;            // the model's lines and images the control was built from
    std::set<std::string> knownPaths_;  // every line shown with children so far, by its path of texts
    std::set<std::string> openPaths_;   // the lines open at the last rebuild
    bool syncing_ = false;
    bool pressed_ = false;  // a right button went down on the control and is not up yet
    ui::TreeItem pressedItem_ = ui::kTreeRoot;
};

}  // namespace ui_wx
