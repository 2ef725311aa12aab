// velgrin: the mesher. Started by the add-on as
//     velgrin "<solver input>.txt" "0"
// it reads the solver input, meshes the STEP model it names and leaves the mesh file it names.
// The solver, refining a mesh, adds "--size-field <file>": the element sizes it wants, as a
// background size field under the user's own sizes.
#include <cstdio>
#include <cstring>
#include <string>

#include "mesher_run.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: velgrin <solver input file> [0] [--size-field <file>]\n");
    return static_cast<int>(velgrin::ExitCode::BadInput);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string sizeField;
    int next = 2;
    if (next < argc && std::strcmp(argv[next], "0") == 0) ++next;  // the add-on's "0" carries nothing
    if (next + 1 < argc && std::strcmp(argv[next], "--size-field") == 0) {
        sizeField = argv[next + 1];
        next += 2;
    }
    if (next != argc) return usage();
    return static_cast<int>(velgrin::runMesher(argv[1], sizeField));
}
