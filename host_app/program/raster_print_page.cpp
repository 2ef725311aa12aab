#include "program/raster_print_page.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace hostapp {

RasterPrintPage::RasterPrintPage(std::string path)
    : path_(std::move(path)), image_(kWidth, kHeight), canvas_(image_) {}

void RasterPrintPage::setTextHeight(double height) {
    if (std::isfinite(height)) canvas_.setTextHeight(static_cast<int>(std::lround(height)));
}

void RasterPrintPage::picture(double left, double top, double width, double height, int pixelsWide,
                              int pixelsHigh, std::span<const std::uint8_t> rgb) {
    if (pixelsWide <= 0 || pixelsHigh <= 0 || !(width > 0) || !(height > 0) ||
        rgb.size() != static_cast<std::size_t>(pixelsWide) * static_cast<std::size_t>(pixelsHigh) * 3)
        return;
    const int x0 = std::max(0, static_cast<int>(std::ceil(left - 0.5)));
    const int y0 = std::max(0, static_cast<int>(std::ceil(top - 0.5)));
    const int x1 = std::min(kWidth, static_cast<int>(std::ceil(left + width - 0.5)));
    const int y1 = std::min(kHeight, static_cast<int>(std::ceil(top + height - 0.5)));
    for (int y = y0; y < y1; ++y) {
        const int row =
            std::clamp(static_cast<int>((y + 0.5 - top) / height * pixelsHigh), 0, pixelsHigh - 1);
        for (int x = x0; x < x1; ++x) {
            const int column =
                std::clamp(static_cast<int>((x + 0.5 - left) / width * pixelsWide), 0, pixelsWide - 1);
            const std::size_t at = (static_cast<std::size_t>(row) * pixelsWide + column) * 3;
            image_.set(x, y,
                       render::Colour(rgb[at]) | render::Colour(rgb[at + 1]) << 8 |
                           render::Colour(rgb[at + 2]) << 16);
        }
    }
}

bool RasterPrintPage::finish() {
    return image_.writePng(path_);
}

void installRasterPrintPages() {
    render::setRasterPageFactory([](const std::string& path) -> std::unique_ptr<render::PrintCanvas> {
        return std::make_unique<RasterPrintPage>(path);
    });
}

}  // namespace hostapp
