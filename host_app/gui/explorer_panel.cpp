#include "gui/explorer_panel.h"

#include <wx/app.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/treectrl.h>

#include "ui/dialog.h"
#include "ui/tree_control.h"
#include "ui_wx/tree_view.h"
#include "ui_wx/wx_backend.h"
#include "ui_wx/wx_text.h"

namespace hostapp::gui {

ExplorerPanel::ExplorerPanel(wxWindow* parent, std::string session)
    : ui::Panel("FEM Explorer"), session_(std::move(session)), panel_(new wxPanel(parent, wxID_ANY)) {
    sizer_ = new wxBoxSizer(wxVERTICAL);
    panel_->SetSizer(sizer_);
    panel_->SetName(ui_wx::toWx("FEM Explorer " + session_));
}

ExplorerPanel::~ExplorerPanel() {
    for (const auto& [id, dialog] : docked_) ui_wx::WxBackend::instance().undock(dialog);
    tree_.reset();
    panel_->Hide();
    // The panel may be going while one of its own handlers runs (the explorer closed by a click).
    wxTheApp->ScheduleForDestruction(panel_);
}

void ExplorerPanel::addChild(int id, ui::Window* child) {
    ui::Panel::addChild(id, child);
    removeShown(id);
    if (auto* dialog = dynamic_cast<ui::Dialog*>(child)) {
        docked_[id] = dialog;
        ui_wx::WxBackend::instance().dock(*dialog, panel_, [this, id](wxPanel* docked) {
            removeShown(id);
            // The toolbox stands above the tree.
            sizer_->Insert(0, docked, 0, wxEXPAND | wxALL, 2);
            shown_[id] = docked;
            relayout();
        });
    } else if (auto* tree = dynamic_cast<ui::TreeControl*>(child)) {
        tree_ = std::make_unique<ui_wx::TreeView>(panel_, *tree);
        sizer_->Add(tree_->window(), 1, wxEXPAND | wxALL, 2);
        shown_[id] = tree_->window();
        treeId_ = id;
    }
    relayout();
}

void ExplorerPanel::removeChild(int id) {
    ui::Panel::removeChild(id);
    if (auto it = docked_.find(id); it != docked_.end()) {
        ui_wx::WxBackend::instance().undock(it->second);
        docked_.erase(it);
    }
    removeShown(id);
    relayout();
}

void ExplorerPanel::removeShown(int id) {
    auto it = shown_.find(id);
    if (it == shown_.end()) return;
    sizer_->Detach(it->second);
    if (id == treeId_) {
        tree_.reset();
        treeId_ = 0;
    }
    shown_.erase(it);
}

void ExplorerPanel::relayout() {
    panel_->Layout();
    if (wxWindow* parent = panel_->GetParent()) parent->Layout();
}

}  // namespace hostapp::gui
