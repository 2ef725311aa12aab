#pragma once
// VTK XML files of the results, for ParaView and every program that reads VTK: an unstructured grid
// (".vtu") of the mesh with point and cell data, binary in an appended section, each array
// compressed with zlib as VTK's own zlib compressor lays it out; and the collection (".pvd") that
// lists one grid per step or mode with its time value. A grid can also be written in pieces, each of
// a share of the elements with the nodes they use, and the parallel grid (".pvtu") that names the
// pieces; every piece then carries the mesh's node numbers as the point array "Node number", so that
// a reader can join the pieces' shared nodes. Every file is written to a temporary file that is then
// renamed, so a reader never sees half a file.
#include <cstdint>
#include <span>
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
    // The piece of the elements `elements` (0-based, ascending) and the nodes they use, in the
    // mesh's node order; throws as write does.
    void writePiece(const std::string& path, std::span<const int> elements) const;
    // The same piece from arrays that hold its own values only: the point data one entry per node
    // the elements use (nodesOfElements), the cell data one per element of `elements`.
    void writeOwnPiece(const std::string& path, std::span<const int> elements) const;
    // The parallel grid naming `pieces` (file names relative to it), with this writer's arrays.
    void writeParallel(const std::string& path, const std::vector<std::string>& pieces) const;

  private:
    struct Array {
        std::string name, type;
        int components = 1;
        std::string bytes;  // uncompressed, little endian
        // The array's entries `indices` only (of `components` values of `size` bytes each).
        Array picked(std::span<const int> indices, std::size_t size) const;
    };
    void writePieceOf(const std::string& path, std::span<const int> elements, bool pick) const;
    void writeGrid(const std::string& path, const std::vector<double>& xyz,
                   const std::vector<std::int64_t>& connectivity, const std::vector<Array>& points,
                   const std::vector<Array>& cells) const;
    const FeMesh& mesh_;
    std::vector<Array> pointData_, cellData_;
};

// The nodes the elements `elements` use, ascending: the points of their piece.
std::vector<int> nodesOfElements(const FeMesh& mesh, std::span<const int> elements);

// Copies the first grid of `files` (as VtkResultSink::write answers them: each grid one ".vtu", or
// its pieces followed by their ".pvtu") to "<base>.vtu", or to "<base>_p<k>.vtu" named by
// "<base>.pvtu"; answers the copy's grid file.
// Throws std::runtime_error when a file cannot be read or written.
std::string copyGrid(const std::vector<std::string>& files, const std::string& base);

// The collection: one (time value, grid file name relative to the collection) per entry.
void writePvd(const std::string& path, const std::vector<std::pair<double, std::string>>& grids);

}  // namespace tarvsolv
