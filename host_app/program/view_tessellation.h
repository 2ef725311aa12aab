#pragma once
// The open document as the view draws and picks it: every face as triangles with normals, every
// edge as a polyline, every vertex as a point, each tagged with its entity and its number over the
// whole part (the numbers the scripts and the status bar use). Made once per document by
// OpenCASCADE's meshing, to a deflection of a fraction of the model's size.
#include <vector>

#include "documents/occt_document.h"

namespace hostapp {

struct TessellatedFace {
    EntityRef ref;
    int number = 0;
    // Three vertices per triangle: x, y, z each; normals alike, turned out of the solid.
    std::vector<float> positions;
    std::vector<float> normals;
};

struct TessellatedEdge {
    EntityRef ref;
    int number = 0;
    std::vector<host::Point3> points;  // along the edge, both ends included
};

struct TessellatedVertex {
    EntityRef ref;
    int number = 0;
    host::Point3 point;
};

class ViewTessellation {
  public:
    explicit ViewTessellation(const OcctDocument& document);

    const std::vector<TessellatedFace>& faces() const { return faces_; }
    const std::vector<TessellatedEdge>& edges() const { return edges_; }
    const std::vector<TessellatedVertex>& vertices() const { return vertices_; }
    // The diagonal of the model's box.
    double modelSize() const { return modelSize_; }
    std::size_t triangleCount() const;

  private:
    void addFace(const OcctDocument& document, const EntityRef& ref);
    void addEdge(const OcctDocument& document, const EntityRef& ref);

    std::vector<TessellatedFace> faces_;
    std::vector<TessellatedEdge> edges_;
    std::vector<TessellatedVertex> vertices_;
    double modelSize_ = 1.0;
};

}  // namespace hostapp
