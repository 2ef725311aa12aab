#include "formats/mesh_writer.h"

#include <bit>
#include <vector>

namespace mesh_solve {

static_assert(std::endian::native == std::endian::little,
              "mesh files are written on little-endian machines only");

namespace {

template <typename T>
bool writeAll(std::FILE* file, const std::vector<T>& values) {
    return values.empty() || std::fwrite(values.data(), sizeof(T), values.size(), file) == values.size();
}

}  // namespace

bool writeMeshFile(std::FILE* file, std::int32_t nodesPerElement, const MeshArrays& arrays) {
    const std::size_t facets = arrays.facetTags.size();
    const auto elements =
        nodesPerElement > 0 ? arrays.connectivity.size() / static_cast<std::size_t>(nodesPerElement) : 0;
    const std::int32_t header[5] = {static_cast<std::int32_t>(arrays.coordinates.size() / 3),
                                    static_cast<std::int32_t>(elements), static_cast<std::int32_t>(facets),
                                    nodesPerElement, 0};
    const unsigned char reserved[8] = {};
    std::vector<std::int32_t> records;
    records.reserve(3 * facets);
    for (std::size_t i = 0; i < facets; ++i)
        records.insert(records.end(), {arrays.facetTags[i], arrays.facetElements[i], arrays.facetFaces[i]});
    return std::fwrite(header, sizeof header, 1, file) == 1 &&
           std::fwrite(reserved, sizeof reserved, 1, file) == 1 && writeAll(file, arrays.coordinates) &&
           writeAll(file, arrays.connectivity) && writeAll(file, records);
}

bool writeMeshFile(const std::string& path, std::int32_t nodesPerElement, const MeshArrays& arrays) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = writeMeshFile(file, nodesPerElement, arrays);
    return std::fclose(file) == 0 && written;
}

}  // namespace mesh_solve
