#pragma once
// The panel the host gives a command with a user interface of its own (the FEM Explorer): a wx
// panel docked at the left of the main window, holding what the command places in it, the
// toolbox above the tree.
#include <map>
#include <memory>
#include <string>

#include "ui/window.h"

class wxBoxSizer;
class wxPanel;
class wxWindow;

namespace ui {
class Dialog;
}

namespace ui_wx {
class TreeView;
}

namespace hostapp::gui {

class ExplorerPanel : public ui::Panel {
  public:
    ExplorerPanel(wxWindow* parent, std::string session);
    ~ExplorerPanel() override;

    const std::string& session() const { return session_; }
    wxPanel* window() const { return panel_; }
    // The tree's view, null until the command has placed its tree.
    ui_wx::TreeView* treeView() const { return tree_.get(); }

    void addChild(int id, ui::Window* child) override;
    void removeChild(int id) override;

  private:
    void removeShown(int id);
    void relayout();

    std::string session_;
    wxPanel* panel_;
    wxBoxSizer* sizer_;
    std::map<int, wxWindow*> shown_;     // the windows of the children, by id
    std::map<int, ui::Dialog*> docked_;  // the dialogs docked here, by id
    std::unique_ptr<ui_wx::TreeView> tree_;
    int treeId_ = 0;
};

}  // namespace hostapp::gui
