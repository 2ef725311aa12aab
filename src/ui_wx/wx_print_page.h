#pragma once
// Pages printed through wx printing. The page keeps what is drawn on it; when it is finished it is
// sent to the printer (target kPrinterTarget) or shown in a print preview window from which it can
// be printed (kPreviewTarget). The page has the proportions and resolution of the file pages (A4 at
// 150 dots per inch) so that the add-on lays it out the same way.
#include <memory>
#include <string>

#include "render/print_canvas.h"

namespace ui_wx {

inline constexpr const char* kPrinterTarget = "wx-printer:";
inline constexpr const char* kPreviewTarget = "wx-preview:";

// A page for `path` when it names the printer or the preview, else null.
std::unique_ptr<render::PrintCanvas> openWxPrintPage(const std::string& path);

// A page factory for render::setRasterPageFactory: printer and preview targets become wx print
// pages, every other name goes to `files`.
render::RasterPageFactory wxPrintPageFactory(render::RasterPageFactory files);

}  // namespace ui_wx
