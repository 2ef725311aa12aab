#include "ui_wx/wx_print_page.h"

#include <wx/app.h>
#include <wx/dc.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/print.h>

#include <algorithm>
#include <vector>

#include "ui_wx/wx_text.h"

namespace ui_wx {

namespace {

// The file pages' A4 at 150 dots per inch.
constexpr int kPageWidth = 1240;
constexpr int kPageHeight = 1754;

// One drawing call kept for the printer.
struct Step {
    enum Kind { Pen, Line, Circle, Box, Text, TextHeight, Picture };
    Step(Kind k, double a0, double b0 = 0, double c0 = 0, double d0 = 0, std::string t = {},
         render::Colour col = 0)
        : kind(k), a(a0), b(b0), c(c0), d(d0), text(std::move(t)), colour(col) {}
    Kind kind;
    double a, b, c, d;
    std::string text;
    render::Colour colour;
    wxImage image;  // a Picture's pixels
};
using Steps = std::vector<Step>;

// Draws the kept page on the printer's (or the preview's) device context.
class PagePrintout : public wxPrintout {
  public:
    PagePrintout(const wxString& title, std::shared_ptr<const Steps> steps)
        : wxPrintout(title), steps_(std::move(steps)) {}

    bool HasPage(int page) override { return page == 1; }
    void GetPageInfo(int* minPage, int* maxPage, int* from, int* to) override {
        *minPage = *maxPage = *from = *to = 1;
    }

    bool OnPrintPage(int) override {
        wxDC* dc = GetDC();
        if (dc == nullptr) return false;
        FitThisSizeToPage(wxSize(kPageWidth, kPageHeight));
        dc->SetBrush(*wxTRANSPARENT_BRUSH);
        dc->SetFont(wxFont(wxFontInfo(wxSize(0, 24))));
        auto px = [](double v) { return static_cast<int>(v + 0.5); };
        for (const Step& s : *steps_) {
            switch (s.kind) {
                case Step::Pen:
                    dc->SetPen(wxPen(colourOf(s.colour), std::max(1, px(s.a))));
                    dc->SetTextForeground(colourOf(s.colour));
                    break;
                case Step::Line:
                    dc->DrawLine(px(s.a), px(s.b), px(s.c), px(s.d));
                    break;
                case Step::Circle:
                    dc->DrawCircle(px(s.a), px(s.b), px(s.c));
                    break;
                case Step::Box:
                    dc->DrawRectangle(px(s.a), px(s.b), px(s.c - s.a), px(s.d - s.b));
                    break;
                case Step::Text:
                    dc->DrawText(toWx(s.text), px(s.a), px(s.b));
                    break;
                case Step::TextHeight:
                    dc->SetFont(wxFont(wxFontInfo(wxSize(0, std::max(1, px(s.a))))));
                    break;
                case Step::Picture:
                    if (!drawPicture(*dc, s, px(s.a), px(s.b), px(s.c - s.a), px(s.d - s.b))) return false;
                    break;
            }
        }
        return true;
    }

  private:
    // The picture stretched over (x, y, width, height): drawn as a bitmap of that size where the
    // device draws bitmaps, else stretched from a memory bitmap; false when the device does neither.
    static bool drawPicture(wxDC& dc, const Step& s, int x, int y, int width, int height) {
        if (width <= 0 || height <= 0) return true;
        if (dc.CanDrawBitmap()) {
            dc.DrawBitmap(wxBitmap(s.image.Scale(width, height, wxIMAGE_QUALITY_NEAREST)), x, y);
            return true;
        }
        wxBitmap bitmap(s.image);
        wxMemoryDC source(bitmap);
        return source.IsOk() &&
               dc.StretchBlit(x, y, width, height, &source, 0, 0, s.image.GetWidth(), s.image.GetHeight());
    }

  public:
  private:
    std::shared_ptr<const Steps> steps_;
};

class WxPrintPage : public render::PrintCanvas {
  public:
    explicit WxPrintPage(bool preview) : preview_(preview) {}

    double pageWidth() const override { return kPageWidth; }
    double pageHeight() const override { return kPageHeight; }
    void setTextHeight(double height) override { steps_->push_back(Step(Step::TextHeight, height)); }
    void setPen(render::Colour colour, int width) override {
        steps_->push_back(Step(Step::Pen, double(width), 0, 0, 0, {}, colour));
    }
    void line(double x0, double y0, double x1, double y1) override {
        steps_->push_back(Step(Step::Line, x0, y0, x1, y1));
    }
    void circle(double x, double y, double radius) override {
        steps_->push_back(Step(Step::Circle, x, y, radius));
    }
    void rectangle(double l, double t, double r, double b) override {
        steps_->push_back(Step(Step::Box, l, t, r, b));
    }
    void text(double x, double y, const std::string& text) override {
        steps_->push_back(Step(Step::Text, x, y, 0, 0, text));
    }
    void picture(double left, double top, double width, double height, int pixelsWide, int pixelsHigh,
                 std::span<const std::uint8_t> rgb) override {
        if (pixelsWide <= 0 || pixelsHigh <= 0 ||
            rgb.size() != static_cast<std::size_t>(pixelsWide) * static_cast<std::size_t>(pixelsHigh) * 3)
            return;
        Step step(Step::Picture, left, top, left + width, top + height);
        step.image = wxImage(pixelsWide, pixelsHigh);
        std::copy(rgb.begin(), rgb.end(), step.image.GetData());
        steps_->push_back(std::move(step));
    }

    bool finish() override {
        std::shared_ptr<const Steps> steps = steps_;
        if (preview_) {
            auto* preview =
                new wxPrintPreview(new PagePrintout("Page", steps), new PagePrintout("Page", steps));
            if (!preview->IsOk()) {
                delete preview;
                return false;
            }
            auto* frame = new wxPreviewFrame(preview, wxTheApp->GetTopWindow(), "Print Preview",
                                             wxDefaultPosition, wxSize(700, 900));
            frame->Initialize();
            frame->Show();
            return true;
        }
        wxPrinter printer;
        PagePrintout printout("Page", steps);
        return printer.Print(wxTheApp->GetTopWindow(), &printout, true);
    }

  private:
    bool preview_;
    std::shared_ptr<Steps> steps_ = std::make_shared<Steps>();
};

}  // namespace

std::unique_ptr<render::PrintCanvas> openWxPrintPage(const std::string& path) {
    if (path == kPrinterTarget) return std::make_unique<WxPrintPage>(false);
    if (path == kPreviewTarget) return std::make_unique<WxPrintPage>(true);
    return nullptr;
}

render::RasterPageFactory wxPrintPageFactory(render::RasterPageFactory files) {
    return [files = std::move(files)](const std::string& path) -> std::unique_ptr<render::PrintCanvas> {
        if (auto page = openWxPrintPage(path)) return page;
        return files ? files(path) : nullptr;
    };
}

}  // namespace ui_wx
