#include "ui_wx/tree_view.h"

#include <wx/dcmemory.h>
#include <wx/imaglist.h>
#include <wx/treectrl.h>

#include <functional>

#include "ui_wx/wx_backend.h"
#include "ui_wx/wx_text.h"

namespace ui_wx {

namespace {

// Remembers which model line a wx line shows.
struct ItemData : wxTreeItemData {
    explicit ItemData(ui::TreeItem i) : item(i) {}
    ui::TreeItem item;
};

// The explorer's images are its sections: loadcase, materials, mesh sizes, actions, reactions,
// interactions, tables, solve parameters. Each is a coloured 16 x 16 tile with its initial, so
// that the sections tell apart at a glance.
wxImageList* sectionImages() {
    struct Tile {
        const char* letter;
        unsigned long colour;
    };
    static constexpr Tile kTiles[] = {{"L", 0x3060C0}, {"M", 0x808080}, {"S", 0x20A020}, {"A", 0xD03030},
                                      {"R", 0x2080D0}, {"I", 0xA040C0}, {"T", 0xC08020}, {"P", 0x406060}};
    auto* list = new wxImageList(16, 16, true);
    for (const Tile& t : kTiles) {
        wxBitmap bmp(16, 16);
        {
            wxMemoryDC dc(bmp);
            const wxColour c((t.colour >> 16) & 0xff, (t.colour >> 8) & 0xff, t.colour & 0xff);
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
            dc.SetBrush(wxBrush(c));
            dc.SetPen(wxPen(c.ChangeLightness(70)));
            dc.DrawRoundedRectangle(0, 0, 16, 16, 3);
            dc.SetFont(wxFontInfo(8).Bold());
            dc.SetTextForeground(*wxWHITE);
            const wxSize s = dc.GetTextExtent(t.letter);
            dc.DrawText(t.letter, (16 - s.x) / 2, (16 - s.y) / 2);
        }
        list->Add(bmp);
    }
    return list;
}

// The lines with their images, to tell a change of lines from a change of selection alone.
std::string linesOf(const ui::TreeControl& model) {
    std::string out;
    std::function<void(ui::TreeItem, int)> walk = [&](ui::TreeItem parent, int depth) {
        for (ui::TreeItem c : model.children(parent)) {
            out +=
                std::string(depth, ' ') + std::to_string(model.itemImage(c)) + ':' + model.itemText(c) + '\n';
            walk(c, depth + 1);
        }
    };
    walk(ui::kTreeRoot, 0);
    return out;
}

}  // namespace

TreeView::TreeView(wxWindow* parent, ui::TreeControl& model)
    : model_(model),
      tree_(new wxTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                           wxTR_HIDE_ROOT | wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE)) {
    tree_->AssignImageList(sectionImages());
    tree_->AddRoot("");
    tree_->Bind(wxEVT_TREE_SEL_CHANGED, &TreeView::onSelChanged, this);
    tree_->Bind(wxEVT_RIGHT_DOWN, &TreeView::onRightDown, this);
    tree_->Bind(wxEVT_RIGHT_UP, &TreeView::onRightUp, this);
    tree_->Bind(wxEVT_TREE_KEY_DOWN, &TreeView::onKeyDown, this);
    model_.onChange([this] { sync(); });
    sync();
}

TreeView::~TreeView() {
    model_.onChange(nullptr);
}

void TreeView::sync() {
    syncing_ = true;
    if (linesOf(model_) != shownLines_) rebuild();
    const wxTreeItemId want = idOf(model_.selectedItem());
    if (want.IsOk()) {
        if (tree_->GetSelection() != want) tree_->SelectItem(want);
    } else if (tree_->GetSelection().IsOk()) {
        tree_->UnselectAll();
    }
    syncing_ = false;
}

void TreeView::rebuild() {
    // Which lines are open now, by path, so that the rebuilt control opens them again.
    std::function<void(const wxTreeItemId&)> collect = [&](const wxTreeItemId& id) {
        wxTreeItemIdValue cookie;
        for (wxTreeItemId c = tree_->GetFirstChild(id, cookie); c.IsOk();
             c = tree_->GetNextChild(id, cookie)) {
            // A line without lines under it is neither open nor closed (its lines may be on their
            // way back, the explorer replacing a section's lines): it keeps what it was.
            if (tree_->ItemHasChildren(c)) {
                if (tree_->IsExpanded(c))
                    openPaths_.insert(pathOf(c));
                else
                    openPaths_.erase(pathOf(c));
            }
            collect(c);
        }
    };
    collect(tree_->GetRootItem());
    tree_->Freeze();
    tree_->DeleteChildren(tree_->GetRootItem());
    addChildren(ui::kTreeRoot, tree_->GetRootItem(), "");
    tree_->Thaw();
    shownLines_ = linesOf(model_);
}

void TreeView::addChildren(ui::TreeItem parent, const wxTreeItemId& under, const std::string& path) {
    for (ui::TreeItem c : model_.children(parent)) {
        const int image = model_.itemImage(c);
        const int shown = image >= 0 && image < tree_->GetImageList()->GetImageCount() ? image : -1;
        const wxTreeItemId id =
            tree_->AppendItem(under, toWx(model_.itemText(c)), shown, shown, new ItemData(c));
        const std::string p = path + '\n' + model_.itemText(c);
        addChildren(c, id, p);
        // A line showing children for the first time opens; a known one opens when it was open.
        if (!tree_->ItemHasChildren(id)) continue;
        const bool isNew = knownPaths_.insert(p).second;
        if (isNew || openPaths_.count(p)) tree_->Expand(id);
    }
}

wxTreeItemId TreeView::idOf(ui::TreeItem item) const {
    if (item == ui::kTreeRoot) return {};
    std::function<wxTreeItemId(const wxTreeItemId&)> find = [&](const wxTreeItemId& id) -> wxTreeItemId {
        wxTreeItemIdValue cookie;
        for (wxTreeItemId c = tree_->GetFirstChild(id, cookie); c.IsOk();
             c = tree_->GetNextChild(id, cookie)) {
            if (itemOf(c) == item) return c;
            if (wxTreeItemId f = find(c); f.IsOk()) return f;
        }
        return {};
    };
    return find(tree_->GetRootItem());
}

ui::TreeItem TreeView::itemOf(const wxTreeItemId& id) const {
    auto* data = id.IsOk() ? static_cast<ItemData*>(tree_->GetItemData(id)) : nullptr;
    return data ? data->item : ui::kTreeRoot;
}

std::string TreeView::pathOf(const wxTreeItemId& id) const {
    if (!id.IsOk() || id == tree_->GetRootItem()) return {};
    return pathOf(tree_->GetItemParent(id)) + '\n' + fromWx(tree_->GetItemText(id));
}

wxRect TreeView::itemScreenRect(const std::string& text) const {
    const wxTreeItemId id = idOf(model_.findItem(text));
    wxRect r;
    if (!id.IsOk() || !tree_->GetBoundingRect(id, r, true)) return {};
    r.SetPosition(tree_->ClientToScreen(r.GetPosition()));
    return r;
}

void TreeView::onSelChanged(wxTreeEvent& event) {
    if (syncing_) return;
    const ui::TreeItem item = itemOf(event.GetItem());
    if (item != model_.selectedItem()) model_.selectItem(item);
}

void TreeView::onRightDown(wxMouseEvent& event) {
    int flags = 0;
    const wxTreeItemId id = tree_->HitTest(event.GetPosition(), flags);
    const bool onLine = id.IsOk() && (flags & (wxTREE_HITTEST_ONITEMLABEL | wxTREE_HITTEST_ONITEMICON));
    const ui::TreeItem item = onLine ? itemOf(id) : ui::kTreeRoot;
    if (item != ui::kTreeRoot) model_.selectItem(item);
    pressedItem_ = item;
    pressed_ = true;
}

void TreeView::onRightUp(wxMouseEvent& event) {
    event.Skip();
    if (!pressed_) return;
    pressed_ = false;
    // The menu opens once the button is released, so that the release does not land on it; the
    // handler may change the lines, so it runs once this event is done.
    const ui::TreeItem item = pressedItem_;
    tree_->CallAfter([this, item] { openContextMenu(item); });
}

void TreeView::openContextMenu(ui::TreeItem item) {
    model_.userContextMenu(item);
    // What the menu changed (a line deleted) is the host's to show: its marks in the view.
    WxBackend::instance().personActed();
}

void TreeView::onKeyDown(wxTreeEvent& event) {
    const wxKeyEvent& key = event.GetKeyEvent();
    if (key.GetKeyCode() == WXK_MENU || (key.GetKeyCode() == WXK_F10 && key.GetModifiers() == wxMOD_SHIFT)) {
        const ui::TreeItem item = model_.selectedItem();
        tree_->CallAfter([this, item] { openContextMenu(item); });
        return;
    }
    event.Skip();
}

}  // namespace ui_wx
