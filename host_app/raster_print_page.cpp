#include "raster_print_page.h"

#include <cmath>
#include <memory>

namespace hostapp {

RasterPrintPage::RasterPrintPage(std::string path)
    : path_(std::move(path)), image_(kWidth, kHeight), canvas_(image_) {}

void RasterPrintPage::setTextHeight(double height) {
    if (std::isfinite(height)) canvas_.setTextHeight(static_cast<int>(std::lround(height)));
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
