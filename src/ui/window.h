#pragma once
// Base of every window the add-on and the host hand each other (dialogs, the host's side panel).
#include <map>
#include <string>

namespace ui {

class Window {
  public:
    virtual ~Window() = default;
    virtual std::string windowText() const = 0;
};

// The panel the host gives a command to build its user interface in (the explorer's tree and
// toolbox live there). The panel belongs to the host; what is built in it belongs to the command.
class Panel : public Window {
  public:
    explicit Panel(std::string title = "") : title_(std::move(title)) {}
    std::string windowText() const override { return title_; }

    // Child windows a command places in the panel, by control id (they stay the command's).
    // A window-system host overrides these to show the child inside its panel.
    virtual void addChild(int id, Window* child) { children_[id] = child; }
    virtual void removeChild(int id) { children_.erase(id); }
    Window* child(int id) const {
        auto it = children_.find(id);
        return it == children_.end() ? nullptr : it->second;
    }

  private:
    std::string title_;
    std::map<int, Window*> children_;
};

}  // namespace ui
