#pragma once
// A tree of text lines with images, as the explorer shows its loadcase. Items are reached by
// handle; a right click or the context-menu key on an item is passed to the bound handler.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/window.h"

namespace ui {

using TreeItem = int;  // 0 is "no item" and stands for the invisible root
inline constexpr TreeItem kTreeRoot = 0;

class TreeControl : public Window {
  public:
    explicit TreeControl(int controlId = 0) : id_(controlId) {}

    int controlId() const { return id_; }
    std::string windowText() const override { return {}; }

    // Adds a line as the last child of `parent`; answers its handle.
    TreeItem insertItem(const std::string& text, int image, TreeItem parent = kTreeRoot);
    // Deletes a line and everything under it; kTreeRoot deletes all lines.
    void deleteItem(TreeItem item);
    void deleteAllItems() { deleteItem(kTreeRoot); }

    bool exists(TreeItem item) const { return item == kTreeRoot || items_.count(item) != 0; }
    std::string itemText(TreeItem item) const;
    void setItemText(TreeItem item, const std::string& text);
    int itemImage(TreeItem item) const;
    TreeItem parent(TreeItem item) const;
    std::vector<TreeItem> children(TreeItem item) const;
    // The first line with `text` in depth-first order, or 0.
    TreeItem findItem(const std::string& text) const;
    // The first child of `parent` with exactly `text`, or 0.
    TreeItem findChild(TreeItem parent, const std::string& text) const;
    std::size_t size() const { return items_.size(); }

    void selectItem(TreeItem item) {
        selected_ = exists(item) ? item : kTreeRoot;
        changed();
    }
    TreeItem selectedItem() const { return selected_; }

    // A person's right click (or context-menu key) on a line; a click beside all lines is 0.
    using ContextHandler = std::function<void(TreeItem item)>;
    void onContextMenu(ContextHandler h) { contextHandler_ = std::move(h); }
    void userContextMenu(TreeItem item);

    // Told after every change of the lines or the selection (a window backend redraws the tree).
    void onChange(std::function<void()> listener) { changeListener_ = std::move(listener); }

    // Every line as indented text ("Materials\n  steel: 1,2\n"), for tests and scripts.
    std::string dump() const;

  private:
    struct Node {
        std::string text;
        int image = 0;
        TreeItem parent = kTreeRoot;
        std::vector<TreeItem> children;
    };
    const Node* node(TreeItem item) const;
    void dumpInto(std::string& out, TreeItem item, int depth) const;
    void changed() {
        if (changeListener_) changeListener_();
    }

    int id_;
    TreeItem next_ = 1;
    TreeItem selected_ = kTreeRoot;
    std::vector<TreeItem> roots_;
    std::map<TreeItem, Node> items_;
    ContextHandler contextHandler_;
    std::function<void()> changeListener_;
};

}  // namespace ui
