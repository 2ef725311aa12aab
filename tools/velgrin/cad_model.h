#pragma once
// The STEP model as the host numbers it. Bodies are the model's solids in the order the file lists
// them, numbered from 1. Within a body its faces, edges and vertices are each numbered from 1 in the
// body's own order, and the numbers continue over the bodies: a face's number is its position in
// its body plus the face count of all earlier bodies (the same for edges and vertices).
#include <string>
#include <vector>

#include <TopoDS_Shape.hxx>

namespace velgrin {

struct CadBody {
    TopoDS_Shape solid;
    std::vector<TopoDS_Shape> faces;          // host face firstFace + i
    std::vector<TopoDS_Shape> edges;          // host edge firstEdge + i
    std::vector<TopoDS_Shape> vertices;       // host vertex firstVertex + i
    std::vector<std::vector<int>> edgeFaces;  // host face numbers next to each edge of this body
    int firstFace = 1;
    int firstEdge = 1;
    int firstVertex = 1;
};

class CadModel {
  public:
    // Reads the STEP file in millimetres. Throws VelgrinError (BadModel) when the file is missing,
    // cannot be read, or holds no solid.
    static CadModel readStep(const std::string& path);
    // A model made of the solids of `shape` (used by tests and by the reader).
    static CadModel fromShape(const TopoDS_Shape& shape);

    const TopoDS_Shape& shape() const { return shape_; }
    const std::vector<CadBody>& bodies() const { return bodies_; }
    int faceCount() const { return faceCount_; }
    int edgeCount() const { return edgeCount_; }
    int vertexCount() const { return vertexCount_; }
    // Length of the bounding-box diagonal, mm.
    double diagonal() const { return diagonal_; }
    // Sum of the solids' volumes, mm^3.
    double volume() const;

  private:
    TopoDS_Shape shape_;
    std::vector<CadBody> bodies_;
    int faceCount_ = 0;
    int edgeCount_ = 0;
    int vertexCount_ = 0;
    double diagonal_ = 0;
};

}  // namespace velgrin
