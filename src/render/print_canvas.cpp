#include "render/print_canvas.h"

#include <cstdio>

#include "render/pdf_canvas.h"

namespace render {
namespace {
RasterPageFactory& rasterFactory() {
    static RasterPageFactory factory;
    return factory;
}
bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}
}  // namespace

std::unique_ptr<PrintCanvas> openPrintCanvas(const std::string& path, const std::string& title) {
    if (path.empty()) return nullptr;
    if (endsWith(path, ".pdf") || endsWith(path, ".PDF")) {
        if (FILE* probe = std::fopen(path.c_str(), "ab")) {
            std::fclose(probe);
            return std::make_unique<PdfCanvas>(path, title);
        }
        return nullptr;
    }
    return rasterFactory() ? rasterFactory()(path) : nullptr;
}

double powerOfTwoFit(double width, double height, double pageWidth, double pageHeight) {
    if (!(width > 0 && height > 0 && pageWidth > 0 && pageHeight > 0)) return 0;
    double scale = 1;
    // Doubles while twice the size still fits, halves while the size does not; both stop within
    // the range of a double (about 2^1000).
    while (scale < 1e300 && width * scale * 2 <= pageWidth && height * scale * 2 <= pageHeight) scale *= 2;
    while (scale > 1e-300 && (width * scale > pageWidth || height * scale > pageHeight)) scale /= 2;
    return scale;
}

void setRasterPageFactory(RasterPageFactory factory) {
    rasterFactory() = std::move(factory);
}

}  // namespace render
