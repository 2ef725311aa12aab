// tarvsolv-nozzle: the error measure of the steady nozzle comparison.
//   errors GAMMA TOTAL EXIT EXITX THROATX THROAT CURVATURE
//       reads "x mach" lines on standard input, the Mach number along the axis of a plane nozzle of
//       height THROAT (1 + CURVATURE (x - THROATX)^2) whose exit at x = EXITX is at the static
//       pressure EXIT, TOTAL the total pressure at its inlet; prints "mean max signed" of the
//       relative errors against the one-dimensional area-Mach relation, subsonic branch (mean and
//       max of their sizes, and the mean with its sign). The sonic height comes from the exit's
//       Mach number, as the end-to-end check of the same nozzle takes it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string_view>

#include "gas_closed_forms.h"

namespace {

struct Nozzle {
    double gamma, total, exit, exitX, throatX, throat, curvature;
    double height(double x) const { return throat * (1 + curvature * (x - throatX) * (x - throatX)); }
};

// The one-dimensional Mach number at x, or NaN when the exit pressure chokes the nozzle (the
// relation then holds only up to the shock, which this measure does not place).
double oneDimensionalMach(const Nozzle& n, double x) {
    using namespace tarvsolv::testing;
    const double exitMach = machOfPressureRatio(n.exit / n.total, n.gamma);
    const double sonic = n.height(n.exitX) / areaRatio(exitMach, n.gamma);
    if (sonic > n.throat) return std::nan("");
    return machOfAreaRatio(n.height(x) / sonic, n.gamma, false);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 9 || std::string_view(argv[1]) != "errors") {
        std::fprintf(stderr,
                     "usage: tarvsolv-nozzle errors GAMMA TOTAL EXIT EXITX THROATX THROAT CURVATURE\n");
        return 2;
    }
    const Nozzle n{std::atof(argv[2]), std::atof(argv[3]), std::atof(argv[4]), std::atof(argv[5]),
                   std::atof(argv[6]), std::atof(argv[7]), std::atof(argv[8])};
    if (!(n.gamma > 1 && n.total > 0 && n.exit > 0 && n.exit < n.total && n.throat > 0)) {
        std::fprintf(stderr, "tarvsolv-nozzle: gamma above 1, 0 < exit < total pressure, throat above 0\n");
        return 2;
    }
    double x, mach, sum = 0, signedSum = 0, largest = 0;
    int count = 0;
    while (std::cin >> x >> mach) {
        const double expected = oneDimensionalMach(n, x);
        if (std::isnan(expected)) {
            std::fprintf(stderr,
                         "tarvsolv-nozzle: the exit pressure chokes the nozzle; no subsonic reference\n");
            return 1;
        }
        const double error = (mach - expected) / expected;
        sum += std::abs(error), signedSum += error, largest = std::max(largest, std::abs(error));
        ++count;
    }
    if (!std::cin.eof()) {
        std::fprintf(stderr, "tarvsolv-nozzle: a line that is not \"x mach\" after %d points\n", count);
        return 1;
    }
    if (count == 0) {
        std::fprintf(stderr, "tarvsolv-nozzle: no \"x mach\" lines on standard input\n");
        return 1;
    }
    std::printf("%.4e %.4e %+.4e\n", sum / count, largest, signedSum / count);
    return 0;
}
