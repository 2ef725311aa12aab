#include "ui_wx/dc_canvas.h"

#include <wx/dc.h>

#include <cmath>

#include "ui_wx/wx_text.h"

namespace ui_wx {

namespace {
int px(double v) {
    return static_cast<int>(std::lround(v));
}
}  // namespace

DcCanvas::DcCanvas(wxDC& dc) : dc_(dc) {
    dc_.SetBrush(*wxTRANSPARENT_BRUSH);
    dc_.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
}

void DcCanvas::setPen(render::Colour colour, int width) {
    dc_.SetPen(wxPen(colourOf(colour), width < 1 ? 1 : width));
    dc_.SetTextForeground(colourOf(colour));
}

void DcCanvas::line(double x0, double y0, double x1, double y1) {
    dc_.DrawLine(px(x0), px(y0), px(x1), px(y1));
}

void DcCanvas::circle(double x, double y, double radius) {
    dc_.DrawCircle(px(x), px(y), px(radius));
}

void DcCanvas::rectangle(double left, double top, double right, double bottom) {
    dc_.DrawRectangle(px(left), px(top), px(right) - px(left), px(bottom) - px(top));
}

void DcCanvas::text(double x, double y, const std::string& text) {
    dc_.DrawText(toWx(text), px(x), px(y));
}

}  // namespace ui_wx
