#include "mesh_solve/mesh_dump.h"

#include <charconv>
#include <cstdio>
#include <memory>

#include "platform/paths.h"

namespace mesh_solve {

namespace {

// Collects the text in a large buffer and hands it to the file in blocks. Numbers are formatted with
// std::to_chars, which always writes a decimal point whatever locale the host has set.
class DumpWriter {
  public:
    explicit DumpWriter(std::FILE* file) : file_(file) { buffer_.reserve(kBlock + 1024); }
    ~DumpWriter() { flush(); }

    DumpWriter& text(std::string_view s) {
        buffer_.append(s);
        if (buffer_.size() >= kBlock) flush();
        return *this;
    }
    DumpWriter& integer(long long value) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        return text(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    // As "%f": fixed notation with six decimals. 320 characters hold every double so written.
    DumpWriter& decimal(double value) {
        char digits[320];
        const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 6);
        return text(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
    }
    void flush() {
        if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
            failed_ = true;
        buffer_.clear();
    }
    bool failed() const { return failed_; }

  private:
    static constexpr std::size_t kBlock = 1 << 20;
    std::FILE* file_;
    std::string buffer_;
    bool failed_ = false;
};

void writeHeader(DumpWriter& out, const Mesh& mesh, std::string_view unitText) {
    out.text("HEADER\n0.001 ").text(unitText).text(" 0 nod=").integer(mesh.nodesPerElement());
    out.text(" elem=0 ana=0\n");
    out.text("MSUMMARY\n elements=").integer(mesh.elementCount()).text(", nodes=").integer(mesh.nodeCount());
    out.text(", facets=").integer(mesh.facetCount()).text("\n");
}

void writeNodes(DumpWriter& out, const Mesh& mesh) {
    out.text("NODES\n");
    const std::span<const double> xyz = mesh.coordinates();
    for (std::int32_t node = 1; node <= mesh.nodeCount(); ++node) {
        const std::size_t at = 3 * static_cast<std::size_t>(node - 1);
        out.integer(node).text(" ").decimal(xyz[at]).text(" ").decimal(xyz[at + 1]).text(" ");
        out.decimal(xyz[at + 2]).text("\n");
    }
}

void writeElements(DumpWriter& out, const Mesh& mesh) {
    out.text("ELEMENTS\n");
    for (std::int32_t element = 1; element <= mesh.elementCount(); ++element) {
        out.integer(element);
        for (const std::int32_t node : mesh.elementNodes(element)) out.text(" ").integer(node);
        out.text("\n");
    }
}

void writeFacets(DumpWriter& out, const Mesh& mesh) {
    out.text("BOUNDARY FACETS\n");
    for (std::size_t i = 0; i < static_cast<std::size_t>(mesh.facetCount()); ++i) {
        out.integer(mesh.facetTags()[i]).text(" ").integer(mesh.facetElements()[i]).text(" ");
        out.integer(mesh.facetFaces()[i]).text("\n");
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string meshDumpPath(std::string_view projectFolder) {
    return platform::joinPath(projectFolder, kMeshDumpFileName);
}

bool writeMeshDump(const Mesh& mesh, const std::string& fileName, std::string_view unitText) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "wb"));
    if (!file) return false;
    bool failed = false;
    {
        DumpWriter out(file.get());
        writeHeader(out, mesh, unitText);
        writeNodes(out, mesh);
        writeElements(out, mesh);
        writeFacets(out, mesh);
        out.flush();
        failed = out.failed();
    }
    return std::fclose(file.release()) == 0 && !failed;
}

}  // namespace mesh_solve
