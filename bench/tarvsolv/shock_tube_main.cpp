// tarvsolv-shocktube: the figures of the shock-tube comparison.
//   axis <mesh.meb> <job.out>      the last density, axial velocity and pressure along the tube's
//                                  axis, "x rho u p" a line
//   errors <diaphragm> <time> <gamma> <rhoL> <pL> <rhoR> <pR>
//                                  the L1 errors "rho u p" of the "x rho u p" lines on standard
//                                  input against the exact solution
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "shock_tube.h"

int main(int argc, char** argv) {
    using namespace tarvsolv;
    try {
        const std::string mode = argc > 1 ? argv[1] : "";
        if (mode == "axis" && argc == 4) {
            for (const AxisPoint& p : tubeAxis(readMeshFile(argv[2]), argv[3]))
                std::printf("%.10g %.10g %.10g %.10g\n", p.x, p.rho, p.u, p.p);
            return 0;
        }
        if (mode == "errors" && argc == 9) {
            TubeStates s;
            s.diaphragm = std::atof(argv[2]);
            s.time = std::atof(argv[3]);
            s.gamma = std::atof(argv[4]);
            s.rhoLeft = std::atof(argv[5]);
            s.pLeft = std::atof(argv[6]);
            s.rhoRight = std::atof(argv[7]);
            s.pRight = std::atof(argv[8]);
            if (!(s.time > 0 && s.gamma > 1 && s.rhoLeft > 0 && s.rhoRight > 0 && s.pLeft > 0 &&
                  s.pRight > 0)) {
                std::fprintf(stderr,
                             "tarvsolv-shocktube: time, densities and pressures above 0, gamma above 1\n");
                return 2;
            }
            std::vector<AxisPoint> points;
            AxisPoint p;
            while (std::cin >> p.x >> p.rho >> p.u >> p.p) points.push_back(p);
            const TubeErrors e = tubeErrors(points, s);
            std::printf("%.4e %.4e %.4e\n", e.rho, e.u, e.p);
            return 0;
        }
        std::fprintf(stderr,
                     "usage: tarvsolv-shocktube axis MESH.meb JOB.out | errors DIAPHRAGM TIME GAMMA RHOL PL "
                     "RHOR PR\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvsolv-shocktube: %s\n", e.what());
        return 1;
    }
}
