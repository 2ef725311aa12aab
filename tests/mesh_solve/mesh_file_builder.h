#pragma once
// Builds binary mesh files for the tests: a header and the three blocks, serialised little-endian.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace mesh_test {

using Bytes = std::vector<unsigned char>;

struct MeshFileContent {
    std::int32_t nodes = 0;
    std::int32_t elements = 0;
    std::int32_t facets = 0;
    std::int32_t nodesPerElement = 4;
    std::vector<double> coordinates;
    std::vector<std::int32_t> connectivity;
    std::vector<std::int32_t> facetRecords;  // tag, element, face per facet

    Bytes bytes() const {
        Bytes out;
        const std::int32_t header[5] = {nodes, elements, facets, nodesPerElement, 12345};
        append(out, header, sizeof header);
        const unsigned char reserved[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        append(out, reserved, sizeof reserved);
        append(out, coordinates.data(), coordinates.size() * sizeof(double));
        append(out, connectivity.data(), connectivity.size() * sizeof(std::int32_t));
        append(out, facetRecords.data(), facetRecords.size() * sizeof(std::int32_t));
        return out;
    }

private:
    static void append(Bytes& out, const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        out.insert(out.end(), p, p + size);
    }
};

// One linear tetrahedron on nodes 1 to 4 with one boundary facet: tag 7, element 1, face 2.
inline MeshFileContent singleLinearElement() {
    MeshFileContent c;
    c.nodes = 4;
    c.elements = 1;
    c.facets = 1;
    c.nodesPerElement = 4;
    c.coordinates = {0.0, 0.0, 0.0, 1.5, 0.0, 0.0, 0.0, 2.25, 0.0, 0.0, 0.0, -3.125};
    c.connectivity = {1, 2, 3, 4};
    c.facetRecords = {7, 1, 2};
    return c;
}

// Two quadratic tetrahedra on nodes 20 down to 1, node i at (i, 2i, 3i), one boundary facet each.
inline MeshFileContent twoQuadraticElements() {
    MeshFileContent c;
    c.nodes = 20;
    c.elements = 2;
    c.facets = 2;
    c.nodesPerElement = 10;
    for (int i = 1; i <= c.nodes; ++i) c.coordinates.insert(c.coordinates.end(), {i * 1.0, i * 2.0, i * 3.0});
    for (int i = 1; i <= 20; ++i) c.connectivity.push_back(21 - i);
    c.facetRecords = {3, 1, 4, 9, 2, 1};
    return c;
}

inline void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder, removed with everything in it at the end. It lives in memory (/dev/shm) where there
// is such a folder: creating a file on the disk costs milliseconds here, which the fuzz loops repeat
// thousands of times.
class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        std::error_code error;
        const std::filesystem::path memory = "/dev/shm";
        const std::filesystem::path root =
            std::filesystem::is_directory(memory, error) ? memory : std::filesystem::temp_directory_path();
        path_ = root / ("kolvane-mesh-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace mesh_test
