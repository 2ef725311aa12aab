#pragma once
// VTK XML files of the results, for ParaView and every program that reads VTK: an unstructured grid
// (".vtu") of the mesh with point and cell data, binary in an appended section, each array
// compressed with zlib as VTK's own zlib compressor lays it out; and the collection (".pvd") that
// lists one grid per step or mode with its time value. Both are written to a temporary file that is
// then renamed, so a reader never sees half a file.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fem/fe_mesh.h"

namespace tarvsolv {

class VtuWriter {
  public:
    // The mesh's nodes and its tetrahedra (VTK's quadratic tetrahedron has the solver's node order).
    explicit VtuWriter(const FeMesh& mesh);

    // `values` holds `components` numbers per node (6: a symmetric tensor xx yy zz xy yz xz).
    void addPointData(const std::string& name, int components, std::vector<double> values);
    void addCellData(const std::string& name, std::vector<std::int32_t> values);
    void addCellData(const std::string& name, std::vector<double> values);
    // Throws std::runtime_error when the file cannot be written.
    void write(const std::string& path) const;

  private:
    struct Array {
        std::string name, type;
        int components = 1;
        std::string bytes;  // uncompressed, little endian
    };
    const FeMesh& mesh_;
    std::vector<Array> pointData_, cellData_;
};

// The collection: one (time value, grid file name relative to the collection) per entry.
void writePvd(const std::string& path, const std::vector<std::pair<double, std::string>>& grids);

}  // namespace tarvsolv
