#include "ui_wx/toolbox_icons.h"

#include <wx/dcgraph.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include <algorithm>
#include <functional>
#include <map>

#include "ui_wx/wx_backend.h"

namespace ui_wx {

namespace {

constexpr int kSize = 16;
const wxColour kInk(40, 40, 40);

using Drawing = std::function<void(wxDC&)>;

// A sheet with a folded corner and lines of text.
void loadcase(wxDC& dc) {
    dc.SetPen(wxPen(kInk));
    dc.SetBrush(*wxWHITE_BRUSH);
    const wxPoint sheet[] = {{2, 0}, {10, 0}, {14, 4}, {14, 15}, {2, 15}};
    dc.DrawPolygon(5, sheet);
    dc.SetBrush(wxBrush(wxColour(200, 200, 200)));
    const wxPoint fold[] = {{10, 0}, {10, 4}, {14, 4}};
    dc.DrawPolygon(3, fold);
    dc.SetPen(wxPen(wxColour(40, 90, 200)));
    for (int y : {6, 8, 10, 12}) dc.DrawLine(4, y, y == 12 ? 9 : 13, y);
}

// A metal ingot: a trapezoid block with a light top face.
void material(wxDC& dc) {
    dc.SetPen(wxPen(kInk));
    dc.SetBrush(wxBrush(wxColour(150, 160, 175)));
    const wxPoint front[] = {{0, 13}, {15, 13}, {12, 7}, {3, 7}};
    dc.DrawPolygon(4, front);
    dc.SetBrush(wxBrush(wxColour(215, 220, 230)));
    const wxPoint top[] = {{3, 7}, {12, 7}, {10, 3}, {5, 3}};
    dc.DrawPolygon(4, top);
    dc.SetPen(wxPen(wxColour(250, 250, 255)));
    dc.DrawLine(4, 10, 11, 10);
}

// A square cut into triangles.
void mesh(wxDC& dc) {
    dc.SetBrush(wxBrush(wxColour(200, 235, 200)));
    dc.SetPen(wxPen(wxColour(0, 110, 0)));
    dc.DrawRectangle(1, 1, 14, 14);
    dc.DrawLine(1, 8, 15, 8);
    dc.DrawLine(8, 1, 8, 15);
    // Each quarter cut along the same diagonal.
    // Whole-pixel diagonals come out broken; these are smoothed.
    if (auto* gc = dynamic_cast<wxGCDC*>(&dc))
        gc->GetGraphicsContext()->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    dc.DrawLine(1, 8, 8, 1);
    dc.DrawLine(8, 8, 15, 1);
    dc.DrawLine(1, 15, 8, 8);
    dc.DrawLine(8, 15, 15, 8);
}

// A red arrow pressing down onto the top of a grey block.
void actions(wxDC& dc) {
    dc.SetPen(wxPen(kInk));
    dc.SetBrush(wxBrush(wxColour(170, 170, 170)));
    dc.DrawRectangle(1, 10, 14, 6);
    dc.SetPen(wxPen(wxColour(200, 0, 0), 2));
    dc.DrawLine(8, 0, 8, 6);
    dc.SetPen(wxPen(wxColour(200, 0, 0)));
    dc.SetBrush(wxBrush(wxColour(220, 0, 0)));
    const wxPoint head[] = {{4, 5}, {12, 5}, {8, 9}};
    dc.DrawPolygon(3, head);
}

// A fixed support: a triangle standing on hatched ground.
void reactions(wxDC& dc) {
    dc.SetPen(wxPen(wxColour(0, 70, 160)));
    dc.SetBrush(wxBrush(wxColour(90, 150, 230)));
    const wxPoint support[] = {{8, 1}, {14, 10}, {2, 10}};
    dc.DrawPolygon(3, support);
    dc.SetPen(wxPen(kInk));
    dc.DrawLine(0, 11, 16, 11);
    for (int x = 1; x < 16; x += 3) dc.DrawLine(x + 3, 12, x, 15);
}

// Two blocks pressed together along a face.
void interactions(wxDC& dc) {
    dc.SetPen(wxPen(kInk));
    dc.SetBrush(wxBrush(wxColour(80, 130, 220)));
    dc.DrawRectangle(0, 3, 8, 10);
    dc.SetBrush(wxBrush(wxColour(240, 150, 40)));
    dc.DrawRectangle(7, 5, 9, 8);
    dc.SetPen(wxPen(wxColour(200, 0, 0)));
    dc.DrawLine(7, 4, 7, 14);
}

// A "run" triangle over a grid.
void solve(wxDC& dc) {
    dc.SetPen(wxPen(wxColour(170, 170, 170)));
    for (int i = 0; i <= 15; i += 5) {
        dc.DrawLine(0, i, 16, i);
        dc.DrawLine(i, 0, i, 16);
    }
    dc.SetPen(wxPen(wxColour(0, 100, 0)));
    dc.SetBrush(wxBrush(wxColour(30, 180, 30)));
    const wxPoint play[] = {{4, 2}, {13, 8}, {4, 14}};
    dc.DrawPolygon(3, play);
}

// A contour plot: bands from blue to red, with a colour bar at the side.
void results(wxDC& dc) {
    const wxColour bands[] = {{0, 0, 230},   {0, 170, 230}, {0, 200, 80},
                              {240, 220, 0}, {240, 120, 0}, {220, 0, 0}};
    dc.SetPen(*wxTRANSPARENT_PEN);
    for (int i = 0; i < 6; ++i) {
        dc.SetBrush(wxBrush(bands[i]));
        dc.DrawRectangle(1, 3 + i * 2, 9, 2);
        dc.DrawRectangle(13, 13 - i * 2, 2, 2);
    }
    dc.SetPen(wxPen(kInk));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(0, 2, 11, 14);
    dc.DrawRectangle(12, 2, 4, 14);
}

const std::map<int, Drawing>& drawings() {
    static const std::map<int, Drawing> all = {
        {11051, loadcase},  {11046, material},     {11033, mesh},  {11025, actions},
        {11037, reactions}, {11027, interactions}, {11031, solve}, {11060, results},
    };
    return all;
}

// Drawn on a transparent picture, so that the icon sits on any button face.
wxBitmap draw(const Drawing& drawing) {
    wxImage image(kSize, kSize);
    image.InitAlpha();
    std::fill_n(image.GetAlpha(), kSize * kSize, 0);
    {
        wxGraphicsContext* context = wxGraphicsContext::Create(image);
        // Whole pixels: smoothed 1-pixel lines smear at this size.
        context->SetAntialiasMode(wxANTIALIAS_NONE);
        wxGCDC dc(context);
        drawing(dc);
    }
    return wxBitmap(image);
}

}  // namespace

std::vector<int> toolboxIconIds() {
    std::vector<int> ids;
    for (const auto& [id, drawing] : drawings()) ids.push_back(id);
    return ids;
}

wxBitmap toolboxIcon(int icon) {
    static std::map<int, wxBitmap> drawn;
    auto known = drawings().find(icon);
    if (known == drawings().end()) return wxBitmap();
    auto it = drawn.find(icon);
    if (it == drawn.end()) it = drawn.emplace(icon, draw(known->second)).first;
    return it->second;
}

void installToolboxIcons() {
    setIconSource(toolboxIcon);
}

}  // namespace ui_wx
