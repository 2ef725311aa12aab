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

void setRasterPageFactory(RasterPageFactory factory) {
    rasterFactory() = std::move(factory);
}

}  // namespace render
