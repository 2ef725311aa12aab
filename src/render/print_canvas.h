#pragma once
// A page to print on: a canvas that becomes a file when finished. In headless runs a print goes to
// a PDF file (written here, no library needed) or a PNG file (through a raster page a program
// with a rasteriser installs).
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "render/canvas.h"

namespace render {

class PrintCanvas : public Canvas {
  public:
    // Size of the printable area in the canvas's units.
    virtual double pageWidth() const = 0;
    virtual double pageHeight() const = 0;
    virtual void setTextHeight(double height) = 0;
    // Draws an RGB picture of pixelsWide x pixelsHigh (rows from the top) stretched over the
    // rectangle at (left, top) of width x height in the canvas's units.
    virtual void picture(double left, double top, double width, double height, int pixelsWide, int pixelsHigh,
                         std::span<const std::uint8_t> rgb) = 0;
    // Ends the page and the document and writes the file; false when it cannot be written.
    virtual bool finish() = 0;
};

// A page of `path`: PDF for a ".pdf" name, otherwise the installed raster page factory's (PNG);
// null when no page can be made for the name. `title` names the document.
std::unique_ptr<PrintCanvas> openPrintCanvas(const std::string& path, const std::string& title);

// The scale a picture of width x height is printed at on a page of pageWidth x pageHeight: the
// largest power of two (2, 4, ... or 1/2, 1/4, ...) at which it still fits; 0 for an empty picture
// or page.
double powerOfTwoFit(double width, double height, double pageWidth, double pageHeight);

using RasterPageFactory = std::function<std::unique_ptr<PrintCanvas>(const std::string& path)>;
void setRasterPageFactory(RasterPageFactory factory);

}  // namespace render
