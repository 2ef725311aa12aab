#include "ui/tree_control.h"

#include <algorithm>

namespace ui {

const TreeControl::Node* TreeControl::node(TreeItem item) const {
    auto it = items_.find(item);
    return it == items_.end() ? nullptr : &it->second;
}

TreeItem TreeControl::insertItem(const std::string& text, int image, TreeItem parentItem) {
    if (!exists(parentItem)) parentItem = kTreeRoot;
    const TreeItem item = next_++;
    items_[item] = Node{text, image, parentItem, {}};
    (parentItem == kTreeRoot ? roots_ : items_[parentItem].children).push_back(item);
    changed();
    return item;
}

void TreeControl::deleteItem(TreeItem item) {
    if (item == kTreeRoot) {
        items_.clear();
        roots_.clear();
        selected_ = kTreeRoot;
        changed();
        return;
    }
    const Node* n = node(item);
    if (n == nullptr) return;
    for (TreeItem child : std::vector<TreeItem>(n->children)) deleteItem(child);
    auto& siblings = n->parent == kTreeRoot ? roots_ : items_[n->parent].children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), item), siblings.end());
    items_.erase(item);
    if (selected_ == item) selected_ = kTreeRoot;
    changed();
}

std::string TreeControl::itemText(TreeItem item) const {
    const Node* n = node(item);
    return n ? n->text : std::string();
}

void TreeControl::setItemText(TreeItem item, const std::string& text) {
    if (auto it = items_.find(item); it != items_.end()) it->second.text = text;
    changed();
}

int TreeControl::itemImage(TreeItem item) const {
    const Node* n = node(item);
    return n ? n->image : -1;
}

TreeItem TreeControl::parent(TreeItem item) const {
    const Node* n = node(item);
    return n ? n->parent : kTreeRoot;
}

std::vector<TreeItem> TreeControl::children(TreeItem item) const {
    if (item == kTreeRoot) return roots_;
    const Node* n = node(item);
    return n ? n->children : std::vector<TreeItem>{};
}

TreeItem TreeControl::findChild(TreeItem parentItem, const std::string& text) const {
    for (TreeItem child : children(parentItem)) {
        if (itemText(child) == text) return child;
    }
    return kTreeRoot;
}

TreeItem TreeControl::findItem(const std::string& text) const {
    std::vector<TreeItem> stack(roots_.rbegin(), roots_.rend());
    while (!stack.empty()) {
        const TreeItem item = stack.back();
        stack.pop_back();
        const Node* n = node(item);
        if (n->text == text) return item;
        stack.insert(stack.end(), n->children.rbegin(), n->children.rend());
    }
    return kTreeRoot;
}

void TreeControl::userContextMenu(TreeItem item) {
    if (contextHandler_) contextHandler_(exists(item) ? item : kTreeRoot);
}

void TreeControl::dumpInto(std::string& out, TreeItem item, int depth) const {
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
    out += itemText(item);
    out += '\n';
    for (TreeItem child : children(item)) dumpInto(out, child, depth + 1);
}

std::string TreeControl::dump() const {
    std::string out;
    for (TreeItem item : roots_) dumpInto(out, item, 0);
    return out;
}

}  // namespace ui
