#include "io/vtu_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
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

std::size_t sizeOf(const std::string& type) {
    return type == "Float64" || type == "Int64" ? 8 : type == "Int32" ? 4 : 1;
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

VtuWriter::Array VtuWriter::Array::picked(std::span<const int> indices, std::size_t size) const {
    const std::size_t tuple = size * static_cast<std::size_t>(components);
    Array out{name, type, components, std::string(indices.size() * tuple, '\0')};
    for (std::size_t k = 0; k < indices.size(); ++k)
        if ((static_cast<std::size_t>(indices[k]) + 1) * tuple <= bytes.size())
            std::memcpy(out.bytes.data() + k * tuple,
                        bytes.data() + static_cast<std::size_t>(indices[k]) * tuple, tuple);
    return out;
}

void VtuWriter::write(const std::string& path) const {
    writeGrid(path, mesh_.xyz, std::vector<std::int64_t>(mesh_.conn.begin(), mesh_.conn.end()), pointData_,
              cellData_);
}

void VtuWriter::writePiece(const std::string& path, std::span<const int> elements) const {
    writePieceOf(path, elements, true);
}

void VtuWriter::writeOwnPiece(const std::string& path, std::span<const int> elements) const {
    writePieceOf(path, elements, false);
}

void VtuWriter::writePieceOf(const std::string& path, std::span<const int> elements, bool pick) const {
    const int p = mesh_.nodesPerElement;
    const std::vector<int> nodes = nodesOfElements(mesh_, elements);
    std::vector<int> local(static_cast<std::size_t>(mesh_.nodeCount()), -1);
    for (std::size_t k = 0; k < nodes.size(); ++k)
        local[static_cast<std::size_t>(nodes[k])] = static_cast<int>(k);
    std::vector<double> xyz(nodes.size() * 3);
    std::vector<std::int32_t> numbers(nodes.size());
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        for (int c = 0; c < 3; ++c) xyz[k * 3 + c] = mesh_.xyz[static_cast<std::size_t>(nodes[k]) * 3 + c];
        numbers[k] = mesh_.fileNumber(nodes[k]) + 1;
    }
    std::vector<std::int64_t> connectivity;
    connectivity.reserve(elements.size() * p);
    for (int e : elements)
        for (int k = 0; k < p; ++k)
            connectivity.push_back(local[static_cast<std::size_t>(mesh_.conn[e * p + k])]);
    std::vector<Array> points, cells;
    for (const Array& a : pointData_) points.push_back(pick ? a.picked(nodes, sizeOf(a.type)) : a);
    points.push_back({"Node number", "Int32", 1, bytesOf(numbers)});
    for (const Array& a : cellData_) cells.push_back(pick ? a.picked(elements, sizeOf(a.type)) : a);
    writeGrid(path, xyz, connectivity, points, cells);
}

void VtuWriter::writeParallel(const std::string& path, const std::vector<std::string>& pieces) const {
    const auto declared = [](const Array& a) {
        std::string line = "<PDataArray type=\"" + a.type + "\" Name=\"" + escaped(a.name) + "\"";
        if (a.components > 1) line += " NumberOfComponents=\"" + std::to_string(a.components) + "\"";
        return line + "/>\n";
    };
    std::string xml =
        "<?xml version=\"1.0\"?>\n<VTKFile type=\"PUnstructuredGrid\" version=\"1.0\" "
        "byte_order=\"LittleEndian\" header_type=\"UInt64\">\n<PUnstructuredGrid GhostLevel=\"0\">\n"
        "<PPointData>\n";
    for (const Array& a : pointData_) xml += declared(a);
    xml += declared({"Node number", "Int32", 1, {}});
    xml += "</PPointData>\n<PCellData>\n";
    for (const Array& a : cellData_) xml += declared(a);
    xml += "</PCellData>\n<PPoints>\n<PDataArray type=\"Float64\" NumberOfComponents=\"3\"/>\n</PPoints>\n";
    for (const std::string& piece : pieces) xml += "<Piece Source=\"" + escaped(piece) + "\"/>\n";
    xml += "</PUnstructuredGrid>\n</VTKFile>\n";
    replaceFile(path, [&](std::ostream& out) { out << xml; });
}

void VtuWriter::writeGrid(const std::string& path, const std::vector<double>& xyz,
                          const std::vector<std::int64_t>& connectivity, const std::vector<Array>& points,
                          const std::vector<Array>& cellArrays) const {
    const int p = mesh_.nodesPerElement;
    const std::size_t cells = p ? connectivity.size() / static_cast<std::size_t>(p) : 0;
    std::vector<std::int64_t> offsets(cells);
    for (std::size_t e = 0; e < cells; ++e) offsets[e] = static_cast<std::int64_t>((e + 1) * p);
    const std::vector<std::uint8_t> types(cells, p == 10 ? kVtkQuadraticTetra : kVtkTetra);
    const std::vector<Array> geometry{{"Points", "Float64", 3, bytesOf(xyz)},
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
        std::to_string(xyz.size() / 3) + "\" NumberOfCells=\"" + std::to_string(cells) + "\">\n<PointData>\n";
    for (const Array& a : points) xml += entry(a, true);
    xml += "</PointData>\n<CellData>\n";
    for (const Array& a : cellArrays) xml += entry(a, true);
    xml += "</CellData>\n<Points>\n" + entry(geometry[0], false) + "</Points>\n<Cells>\n";
    for (std::size_t i = 1; i < geometry.size(); ++i) xml += entry(geometry[i], true);
    xml += "</Cells>\n</Piece>\n</UnstructuredGrid>\n<AppendedData encoding=\"raw\">\n_";
    replaceFile(path,
                [&](std::ostream& out) { out << xml << appended << "\n</AppendedData>\n</VTKFile>\n"; });
}

std::vector<int> nodesOfElements(const FeMesh& mesh, std::span<const int> elements) {
    std::vector<char> used(static_cast<std::size_t>(mesh.nodeCount()), 0);
    for (int e : elements)
        for (int n : mesh.elementNodes(e)) used[static_cast<std::size_t>(n)] = 1;
    std::vector<int> nodes;
    for (std::size_t n = 0; n < used.size(); ++n)
        if (used[n]) nodes.push_back(static_cast<int>(n));
    return nodes;
}

std::string copyGrid(const std::vector<std::string>& files, const std::string& base) {
    namespace fs = std::filesystem;
    if (files.empty()) throw std::runtime_error("no grid to copy");
    const auto copy = [](const std::string& from, const std::string& to) {
        std::error_code error;
        fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
        if (error) throw std::runtime_error("cannot copy " + from + " to " + to);
    };
    // The first grid: the first file, or the pieces before the first parallel grid.
    const auto parallel =
        std::find_if(files.begin(), files.end(), [](const std::string& f) { return f.ends_with(".pvtu"); });
    if (parallel == files.end()) {
        copy(files.front(), base + ".vtu");
        return base + ".vtu";
    }
    const std::string& grid = *parallel;
    const auto pieces = static_cast<std::size_t>(parallel - files.begin());
    std::ifstream in(grid, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) throw std::runtime_error("cannot read " + grid);
    for (std::size_t k = 0; k < pieces; ++k) {
        const std::string piece = base + "_p" + std::to_string(k) + ".vtu";
        copy(files[k], piece);
        const std::string from = "Source=\"" + escaped(fs::path(files[k]).filename().string()) + "\"";
        const std::size_t at = text.find(from);
        if (at != std::string::npos)
            text.replace(at, from.size(), "Source=\"" + escaped(fs::path(piece).filename().string()) + "\"");
    }
    replaceFile(base + ".pvtu", [&](std::ostream& out) { out << text; });
    return base + ".pvtu";
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
