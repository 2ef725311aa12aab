#include "io/vtu_writer.h"

#include <zlib.h>

#include <cstring>
#include <ostream>
#include <stdexcept>

#include "io/result_file.h"

namespace tarvsolv {

namespace {

// VTK cell types.
constexpr std::uint8_t kVtkTetra = 10, kVtkQuadraticTetra = 24;
// Data are compressed in blocks of this many bytes, as VTK's compressor does.
constexpr std::size_t kBlockSize = 1 << 20;

template <class T>
std::string bytesOf(const std::vector<T>& values) {
    std::string bytes(values.size() * sizeof(T), '\0');
    if (!values.empty()) std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

void appendWord(std::string& out, std::uint64_t v) {
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

// The array as VTK's zlib compressor lays it out with 64-bit headers: the block count, the block
// size, the size of the last block before compression, the compressed size of each block, then the
// compressed blocks.
std::string compressed(const std::string& bytes) {
    const std::size_t blocks = (bytes.size() + kBlockSize - 1) / kBlockSize;
    std::string header, data;
    appendWord(header, blocks);
    appendWord(header, kBlockSize);
    appendWord(header, blocks == 0 ? 0 : bytes.size() - (blocks - 1) * kBlockSize);
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::size_t size = std::min(kBlockSize, bytes.size() - b * kBlockSize);
        uLongf length = compressBound(static_cast<uLong>(size));
        std::string block(length, '\0');
        // Level 1: the files are written at the end of every run, where speed counts more than the
        // last few per cent of size.
        if (compress2(reinterpret_cast<Bytef*>(block.data()), &length,
                      reinterpret_cast<const Bytef*>(bytes.data() + b * kBlockSize), static_cast<uLong>(size),
                      1) != Z_OK)
            throw std::runtime_error("cannot compress the VTK data");
        appendWord(header, length);
        data.append(block.data(), length);
    }
    return header + data;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

}  // namespace

VtuWriter::VtuWriter(const FeMesh& mesh) : mesh_(mesh) {}

void VtuWriter::addPointData(const std::string& name, int components, std::vector<double> values) {
    pointData_.push_back({name, "Float64", components, bytesOf(values)});
}

void VtuWriter::addCellData(const std::string& name, std::vector<std::int32_t> values) {
    cellData_.push_back({name, "Int32", 1, bytesOf(values)});
}

void VtuWriter::addCellData(const std::string& name, std::vector<double> values) {
    cellData_.push_back({name, "Float64", 1, bytesOf(values)});
}

void VtuWriter::write(const std::string& path) const {
    const int p = mesh_.nodesPerElement;
    const auto cells = static_cast<std::size_t>(mesh_.elementCount());
    std::vector<std::int64_t> connectivity(mesh_.conn.begin(), mesh_.conn.end()), offsets(cells);
    for (std::size_t e = 0; e < cells; ++e) offsets[e] = static_cast<std::int64_t>((e + 1) * p);
    const std::vector<std::uint8_t> types(cells, p == 10 ? kVtkQuadraticTetra : kVtkTetra);
    const std::vector<Array> geometry{{"Points", "Float64", 3, bytesOf(mesh_.xyz)},
                                      {"connectivity", "Int64", 1, bytesOf(connectivity)},
                                      {"offsets", "Int64", 1, bytesOf(offsets)},
                                      {"types", "UInt8", 1, bytesOf(types)}};

    std::string appended;
    const auto entry = [&](const Array& a, bool named) {
        std::string line = "<DataArray type=\"" + a.type + "\"";
        if (named) line += " Name=\"" + escaped(a.name) + "\"";
        if (a.components > 1) line += " NumberOfComponents=\"" + std::to_string(a.components) + "\"";
        line += " format=\"appended\" offset=\"" + std::to_string(appended.size()) + "\"/>\n";
        appended += compressed(a.bytes);
        return line;
    };
    std::string xml =
        "<?xml version=\"1.0\"?>\n<VTKFile type=\"UnstructuredGrid\" version=\"1.0\" "
        "byte_order=\"LittleEndian\" "
        "header_type=\"UInt64\" compressor=\"vtkZLibDataCompressor\">\n<UnstructuredGrid>\n<Piece "
        "NumberOfPoints=\"" +
        std::to_string(mesh_.nodeCount()) + "\" NumberOfCells=\"" + std::to_string(cells) +
        "\">\n<PointData>\n";
    for (const Array& a : pointData_) xml += entry(a, true);
    xml += "</PointData>\n<CellData>\n";
    for (const Array& a : cellData_) xml += entry(a, true);
    xml += "</CellData>\n<Points>\n" + entry(geometry[0], false) + "</Points>\n<Cells>\n";
    for (std::size_t i = 1; i < geometry.size(); ++i) xml += entry(geometry[i], true);
    xml += "</Cells>\n</Piece>\n</UnstructuredGrid>\n<AppendedData encoding=\"raw\">\n_";
    replaceFile(path,
                [&](std::ostream& out) { out << xml << appended << "\n</AppendedData>\n</VTKFile>\n"; });
}

void writePvd(const std::string& path, const std::vector<std::pair<double, std::string>>& grids) {
    replaceFile(path, [&](std::ostream& out) {
        out << "<?xml version=\"1.0\"?>\n<VTKFile type=\"Collection\" version=\"1.0\" "
               "byte_order=\"LittleEndian\">\n"
               "<Collection>\n";
        char time[64];
        for (const auto& [value, file] : grids) {
            std::snprintf(time, sizeof time, "%.17g", value);
            out << "<DataSet timestep=\"" << time << "\" part=\"0\" file=\"" << escaped(file) << "\"/>\n";
        }
        out << "</Collection>\n</VTKFile>\n";
    });
}

}  // namespace tarvsolv
