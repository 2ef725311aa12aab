#include "mesh_solve/mesh_store.h"

namespace mesh_solve {

Mesh& libraryMesh() {
    static Mesh mesh;
    return mesh;
}

}  // namespace mesh_solve
