// tarvsolv-ductflow: the figures of the flow comparison, for a straight duct of square section.
//   reference <side> <length> <pressure drop> <viscosity>
//                                   the closed-form flow rate and centreline speed
//   measure <mesh.meb> <job.out> <face>
//                                   the flow rate out through the face of that tag and the speed at
//                                   its centre, from the last velocity block of the result file
// Both print "flow-rate centre-speed".
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "duct_flow.h"

int main(int argc, char** argv) {
    using namespace tarvsolv;
    try {
        const std::string mode = argc > 1 ? argv[1] : "";
        DuctFlow flow;
        if (mode == "reference" && argc == 6) {
            const double side = std::atof(argv[2]), length = std::atof(argv[3]), drop = std::atof(argv[4]),
                         viscosity = std::atof(argv[5]);
            if (!(side > 0 && length > 0 && viscosity > 0)) {
                std::fprintf(stderr, "tarvsolv-ductflow: side, length and viscosity must be above 0\n");
                return 2;
            }
            flow = squareDuctFlow(side, drop / length, viscosity);
        } else if (mode == "measure" && argc == 5) {
            flow = faceFlow(readMeshFile(argv[2]), lastVelocities(argv[3]), std::atoi(argv[4]));
        } else {
            std::fprintf(stderr,
                         "usage: tarvsolv-ductflow reference SIDE LENGTH DROP VISCOSITY | measure MESH.meb "
                         "JOB.out FACE\n");
            return 2;
        }
        std::printf("%.10g %.10g\n", flow.flowRate, flow.centreSpeed);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvsolv-ductflow: %s\n", e.what());
        return 1;
    }
    return 0;
}
