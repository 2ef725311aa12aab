#include "render/pdf_canvas.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <vector>

namespace render {
namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '(' || c == ')' || c == '\\') out += '\\';
        out += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return out;
}

// The bytes compressed as a zlib stream (the PDF's FlateDecode); empty when compression fails.
std::string deflated(std::span<const std::uint8_t> bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, bytes.data(), static_cast<uLong>(bytes.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

}  // namespace

PdfCanvas::PdfCanvas(std::string path, std::string title) : path_(std::move(path)), title_(std::move(title)) {
    content_.setf(std::ios::fixed);
    content_.precision(2);
}

void PdfCanvas::setPen(Colour colour, int width) {
    colour_ = colour;
    const double r = (colour & 0xFF) / 255.0, g = ((colour >> 8) & 0xFF) / 255.0,
                 b = ((colour >> 16) & 0xFF) / 255.0;
    content_ << r << ' ' << g << ' ' << b << " RG " << r << ' ' << g << ' ' << b << " rg " << width << " w\n";
}

void PdfCanvas::line(double x0, double y0, double x1, double y1) {
    content_ << x0 << ' ' << flip(y0) << " m " << x1 << ' ' << flip(y1) << " l S\n";
}

void PdfCanvas::circle(double x, double y, double r) {
    const double k = 0.5523 * r;  // control distance of a quarter circle as a cubic curve
    const double cy = flip(y);
    content_ << x + r << ' ' << cy << " m " << x + r << ' ' << cy + k << ' ' << x + k << ' ' << cy + r << ' '
             << x << ' ' << cy + r << " c " << x - k << ' ' << cy + r << ' ' << x - r << ' ' << cy + k << ' '
             << x - r << ' ' << cy << " c " << x - r << ' ' << cy - k << ' ' << x - k << ' ' << cy - r << ' '
             << x << ' ' << cy - r << " c " << x + k << ' ' << cy - r << ' ' << x + r << ' ' << cy - k << ' '
             << x + r << ' ' << cy << " c S\n";
}

void PdfCanvas::rectangle(double left, double top, double right, double bottom) {
    content_ << left << ' ' << flip(bottom) << ' ' << right - left << ' ' << bottom - top << " re S\n";
}

void PdfCanvas::text(double x, double y, const std::string& text) {
    content_ << "BT /F1 " << textHeight_ << " Tf " << x << ' ' << flip(y) - textHeight_ << " Td ("
             << escaped(text) << ") Tj ET\n";
}

void PdfCanvas::picture(double left, double top, double width, double height, int pixelsWide, int pixelsHigh,
                        std::span<const std::uint8_t> rgb) {
    if (pixelsWide <= 0 || pixelsHigh <= 0 ||
        rgb.size() != static_cast<std::size_t>(pixelsWide) * static_cast<std::size_t>(pixelsHigh) * 3)
        return;
    const std::string data = deflated(rgb);
    if (data.empty()) return;
    images_.push_back("<< /Type /XObject /Subtype /Image /Width " + std::to_string(pixelsWide) + " /Height " +
                      std::to_string(pixelsHigh) +
                      " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode /Length " +
                      std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream");
    // The image fills the unit square; the matrix stretches it over the rectangle, bottom up.
    content_ << "q " << width << " 0 0 " << height << ' ' << left << ' ' << flip(top + height) << " cm /Im"
             << images_.size() << " Do Q\n";
}

bool PdfCanvas::finish() {
    const std::string content = content_.str();
    // Objects 1 to 6 are fixed; the pictures follow from 7 on.
    std::string xobjects;
    for (std::size_t i = 0; i < images_.size(); ++i)
        xobjects += " /Im" + std::to_string(i + 1) + ' ' + std::to_string(7 + i) + " 0 R";
    const std::string resources = "<< /Font << /F1 5 0 R >>" +
                                  (xobjects.empty() ? std::string() : " /XObject <<" + xobjects + " >>") +
                                  " >>";
    std::vector<std::string> objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 842 595] /Resources " + resources +
            " /Contents 4 0 R >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Title (" + escaped(title_) + ") >>",
    };
    objects.insert(objects.end(), images_.begin(), images_.end());
    std::string out = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(out.size());
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = out.size();
    out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    char entry[32];
    for (std::size_t offset : offsets) {
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        out += entry;
    }
    out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R /Info 6 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file << out;
    return static_cast<bool>(file.flush());
}

}  // namespace render
