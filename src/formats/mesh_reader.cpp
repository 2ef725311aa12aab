#include "formats/mesh_reader.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

namespace mesh_solve {

// The file is little-endian and its blocks are read straight into the arrays.
static_assert(std::endian::native == std::endian::little,
              "mesh files are read on little-endian machines only");

namespace {

constexpr long long kHeaderBytes = 28;
constexpr long long kCoordinateBytesPerNode = 24;
constexpr long long kBytesPerFacet = 12;
constexpr long long kIndexLimit = INT32_MAX;

struct MeshHeader {
    std::int32_t nodes = 0;
    std::int32_t elements = 0;
    std::int32_t facets = 0;
    std::int32_t nodesPerElement = 0;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opening words of every refusal message.
std::string fileText(const std::string& path) {
    return "The mesh file \"" + path + "\"";
}

// Size of the open file in bytes, or nothing when it cannot be told (not a plain file).
std::optional<long long> fileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return std::nullopt;
    const long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) return std::nullopt;
    return size;
}

std::optional<MeshHeader> readHeader(std::FILE* file) {
    unsigned char bytes[kHeaderBytes];
    if (std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) return std::nullopt;
    MeshHeader header;
    std::memcpy(&header.nodes, bytes + 0, 4);
    std::memcpy(&header.elements, bytes + 4, 4);
    std::memcpy(&header.facets, bytes + 8, 4);
    std::memcpy(&header.nodesPerElement, bytes + 12, 4);
    // Bytes 16 to 27 are reserved by the mesher and carry nothing the add-on uses.
    return header;
}

long long bytesNeeded(const MeshHeader& h) {
    return kHeaderBytes + kCoordinateBytesPerNode * h.nodes + 4LL * h.nodesPerElement * h.elements +
           kBytesPerFacet * h.facets;
}

std::string countsText(const MeshHeader& h) {
    return std::to_string(h.nodes) + " nodes, " + std::to_string(h.elements) + " elements, " +
           std::to_string(h.facets) + " facets";
}

// Why the header cannot describe a mesh held in `size` bytes; empty when it can. Counts below 1 pass:
// they give the empty mesh.
std::string headerFault(const MeshHeader& h, long long size, const std::string& path) {
    if (h.nodesPerElement != kLinearNodesPerElement && h.nodesPerElement != kQuadraticNodesPerElement)
        return fileText(path) + " is damaged: it gives " + std::to_string(h.nodesPerElement) +
               " nodes per element instead of 4 or 10.";
    if (h.nodes < 0 || h.elements < 0 || h.facets < 0)
        return fileText(path) + " is damaged: it gives a negative count (" + countsText(h) + ").";
    if (h.nodes < 1 || h.elements < 1) return {};
    // Users index the arrays with 32-bit integers; larger meshes cannot be handled.
    if (3LL * h.nodes > kIndexLimit || 1LL * h.nodesPerElement * h.elements > kIndexLimit ||
        4LL * h.elements + 5 > kIndexLimit)
        return fileText(path) + " is too large to load (" + countsText(h) + ").";
    if (size < bytesNeeded(h))
        return fileText(path) + " is damaged: it holds " + std::to_string(size) + " bytes but its counts (" +
               countsText(h) + ") need " + std::to_string(bytesNeeded(h)) + ".";
    return {};
}

// Reads one block straight into `target`. A file that shrank since its size was taken leaves the
// rest of the block zero, which the reference check then refuses.
void readBlock(std::FILE* file, void* target, std::size_t bytes) {
    const std::size_t got = std::fread(target, 1, bytes, file);
    if (got < bytes) std::memset(static_cast<char*>(target) + got, 0, bytes - got);
}

MeshArrays readArrays(std::FILE* file, const MeshHeader& h) {
    const auto facets = static_cast<std::size_t>(h.facets);
    MeshArrays arrays;
    arrays.coordinates.resize(3 * static_cast<std::size_t>(h.nodes));
    arrays.connectivity.resize(static_cast<std::size_t>(h.nodesPerElement) *
                               static_cast<std::size_t>(h.elements));
    std::vector<std::int32_t> records(3 * facets);
    arrays.facetTags.resize(facets);
    arrays.facetElements.resize(facets);
    arrays.facetFaces.resize(facets);

    readBlock(file, arrays.coordinates.data(), arrays.coordinates.size() * sizeof(double));
    readBlock(file, arrays.connectivity.data(), arrays.connectivity.size() * sizeof(std::int32_t));
    readBlock(file, records.data(), records.size() * sizeof(std::int32_t));
    for (std::size_t i = 0; i < facets; ++i) {
        arrays.facetTags[i] = records[3 * i];
        arrays.facetElements[i] = records[3 * i + 1];
        arrays.facetFaces[i] = records[3 * i + 2];
    }
    return arrays;
}

// True when `value` lies in 1..count (computed unsigned so that no value can overflow).
bool inRange(std::int32_t value, std::int32_t count) {
    return static_cast<std::uint32_t>(value) - 1u < static_cast<std::uint32_t>(count);
}

std::string connectivityFault(const MeshArrays& arrays, const MeshHeader& h, const std::string& path) {
    // One branch-free pass over the whole block; the slow search for the culprit runs only on failure.
    bool allInRange = true;
    for (const std::int32_t node : arrays.connectivity) allInRange &= inRange(node, h.nodes);
    if (allInRange) return {};
    for (std::size_t i = 0; i < arrays.connectivity.size(); ++i) {
        const std::int32_t node = arrays.connectivity[i];
        if (!inRange(node, h.nodes))
            return fileText(path) + " is damaged: element " + std::to_string(i / h.nodesPerElement + 1) +
                   " names node " + std::to_string(node) + ", outside 1 to " + std::to_string(h.nodes) + ".";
    }
    return {};
}

std::string facetFault(const MeshArrays& arrays, const MeshHeader& h, const std::string& path) {
    for (std::size_t i = 0; i < arrays.facetElements.size(); ++i) {
        const std::int32_t element = arrays.facetElements[i];
        const std::int32_t face = arrays.facetFaces[i];
        if (inRange(element, h.elements) && inRange(face, 4)) continue;
        const std::string facet = fileText(path) + " is damaged: boundary facet " + std::to_string(i + 1);
        if (!inRange(element, h.elements))
            return facet + " names element " + std::to_string(element) + ", outside 1 to " +
                   std::to_string(h.elements) + ".";
        return facet + " names face " + std::to_string(face) + ", outside 1 to 4.";
    }
    return {};
}

MeshReadResult refuse(Mesh& mesh, std::string message) {
    mesh.release();
    return {MeshReadStatus::Refused, std::move(message)};
}

}  // namespace

MeshReadResult readMeshFile(Mesh& mesh, const std::string& path) {
    const FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) return {MeshReadStatus::NotOpened, {}};

    const std::optional<long long> size = fileSize(file.get());
    const std::optional<MeshHeader> header = size ? readHeader(file.get()) : std::nullopt;
    if (!header) return refuse(mesh, fileText(path) + " is too short to hold a mesh header.");
    if (std::string fault = headerFault(*header, *size, path); !fault.empty())
        return refuse(mesh, std::move(fault));

    mesh.release();
    mesh.setNodesPerElement(header->nodesPerElement);
    if (header->nodes < 1 || header->elements < 1) return {MeshReadStatus::Read, {}};

    try {
        MeshArrays arrays = readArrays(file.get(), *header);
        if (std::string fault = connectivityFault(arrays, *header, path); !fault.empty())
            return refuse(mesh, std::move(fault));
        if (std::string fault = facetFault(arrays, *header, path); !fault.empty())
            return refuse(mesh, std::move(fault));
        mesh.load(header->nodes, header->elements, header->nodesPerElement, std::move(arrays));
    } catch (const std::bad_alloc&) {
        return refuse(
            mesh, "Not enough memory to load the mesh file \"" + path + "\" (" + countsText(*header) + ").");
    }
    return {MeshReadStatus::Read, {}};
}

}  // namespace mesh_solve
