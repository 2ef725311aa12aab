#pragma once
// A widget that draws itself on a render::Canvas and answers the pointer in pixels (the time
// graph's plot). The widget turns a press, the moves while the button is held and the release
// into a click (the pointer stayed within kClickSlop pixels) or a drag, and keeps the rubber band
// of a drag in progress so that a view draws it. A widget may open an in-place edit box (a text
// at a rectangle of its picture) that the view shows as a real edit control and closes with
// finishEdit or cancelEdit. A window-system backend paints it and passes the mouse on.
#include <optional>
#include <string>

#include "render/canvas.h"
#include "ui/custom_widget.h"

namespace widgets {

class CanvasWidget : public ui::CustomWidget {
  public:
    static constexpr double kClickSlop = 3;

    struct Box {
        double left = 0, top = 0, right = 0, bottom = 0;
    };
    struct EditBox {
        std::string text;
        Box at;  // where the edited text stands in the picture
    };

    // Draws the picture on a surface of `width` x `height` pixels, then a drag's rubber band.
    void paint(render::Canvas& canvas, double width, double height) const;

    // ---- what a person does with the pointer (pixels in the widget) ----
    void mouseDown(double x, double y);
    void mouseMove(double x, double y);
    // Ends a press: a click where it started, or a drag from there to (x, y).
    void mouseUp(double x, double y);
    // The rectangle between the press and the pointer while a drag is in progress.
    std::optional<Box> rubberBand() const;

    // ---- the in-place edit box ----
    virtual std::optional<EditBox> editBox() const { return std::nullopt; }
    // Closes the box with the typed text; answers whether the widget took it.
    virtual bool finishEdit(const std::string& text) { return false; }
    virtual void cancelEdit() {}

    // Tells the views that the picture changed (code changed what the widget draws).
    void repaint() { changed(); }

  protected:
    virtual void draw(render::Canvas& canvas, double width, double height) const = 0;
    virtual void clicked(double x, double y) = 0;
    virtual void dragged(double x0, double y0, double x1, double y1) = 0;

  private:
    bool pressed_ = false;
    bool dragging_ = false;
    double x0_ = 0, y0_ = 0, x_ = 0, y_ = 0;
};

}  // namespace widgets
