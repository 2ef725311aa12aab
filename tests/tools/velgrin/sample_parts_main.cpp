// velgrin-sample-parts <folder>: writes the mesher's sample parts as <folder>/<name>.step, for the
// benchmark and for trying the mesher by hand.
#include <cstdio>
#include <string>

#include "sample_parts.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velgrin-sample-parts <folder>\n");
        return 1;
    }
    for (const auto& part : velgrin_test::sampleParts()) {
        const std::string path = std::string(argv[1]) + "/" + part.name + ".step";
        if (!velgrin_test::writeStep(part.shape, path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
