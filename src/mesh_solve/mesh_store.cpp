#include "mesh_solve/mesh_store.h"

namespace mesh_solve {

namespace {

// Where the library mesh was last read from, and whether that reading left a mesh in memory.
struct MeshSource {
    std::string path;
    MeshReadResult result;
    bool held = false;
};

MeshSource& librarySource() {
    static MeshSource source;
    return source;
}

}  // namespace

Mesh& libraryMesh() {
    static Mesh mesh;
    return mesh;
}

MeshFileUse useMeshFile(const std::string& path, bool reread) {
    Mesh& mesh = libraryMesh();
    MeshSource& source = librarySource();
    const bool settled = source.result.opened() && source.path == path && mesh.isLoaded() == source.held;
    if (settled && !reread) return {false, source.result};
    const bool hadMesh = mesh.isLoaded();
    MeshReadResult result = readMeshFile(mesh, path);
    if (!result.opened()) mesh.release();
    source = {path, result, mesh.isLoaded()};
    // A file that is still missing changes nothing when there was no mesh before.
    return {result.opened() || hadMesh, std::move(result)};
}

}  // namespace mesh_solve
