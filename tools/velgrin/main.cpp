// velgrin: the mesher. Started by the add-on as
//     velgrin "<solver input>.txt" "0"
// it reads the solver input, meshes the STEP model it names and leaves the mesh file it names.
#include <cstdio>
#include <string>

#include "mesher_run.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: velgrin <solver input file> [0]\n");
        return static_cast<int>(velgrin::ExitCode::BadInput);
    }
    return static_cast<int>(velgrin::runMesher(argv[1]));
}
