// tarvsolv-check-cantilever MESH OUT LENGTH WIDTH HEIGHT E NU FORCE: checks a solved cantilever
// (held at x = 0, FORCE downwards (-z) at x = LENGTH) against beam theory with shear: the mean tip
// deflection and the bending stress on the top and bottom fibres at mid-length, each within 2 %.
// Prints what it compares; exit 0 when both hold.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fe_mesh.h"

namespace {

std::vector<std::string> block(const std::string& path, const std::string& keyword, bool skipCaption) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line) && line.rfind(keyword, 0) != 0) {}
    if (skipCaption) std::getline(in, line);
    std::vector<std::string> lines;
    while (std::getline(in, line) && !line.empty()) lines.push_back(line);
    return lines;
}

bool within(const char* what, double got, double expected, double tolerance) {
    const double error = std::abs(got - expected) / std::abs(expected);
    std::printf("%-32s %12.6g  expected %12.6g  (%+.2f %%)\n", what, got, expected, 100 * (got - expected) / std::abs(expected));
    return error <= tolerance;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 9) {
        std::fprintf(stderr, "usage: tarvsolv-check-cantilever MESH OUT LENGTH WIDTH HEIGHT E NU FORCE\n");
        return 2;
    }
    const double length = std::atof(argv[3]), width = std::atof(argv[4]), height = std::atof(argv[5]);
    const double e = std::atof(argv[6]), nu = std::atof(argv[7]), force = std::atof(argv[8]);
    const tarvsolv::FeMesh mesh = tarvsolv::readMeshFile(argv[1]);
    const auto disp = block(argv[2], "DISP", false);
    const auto stress = block(argv[2], "STRE", true);
    if (disp.size() != static_cast<std::size_t>(mesh.nodeCount()) || stress.size() != 4u * mesh.elementCount()) {
        std::fprintf(stderr, "the result file does not match the mesh\n");
        return 1;
    }
    const double tol = 1e-6 * length;
    double tip = 0;
    int tipNodes = 0;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        if (std::abs(mesh.node(n).x - length) > tol) continue;
        std::istringstream fields(disp[n]);
        double number, x, y, z;
        fields >> number >> x >> y >> z;
        tip += z;
        ++tipNodes;
    }
    // Stress on the top and bottom fibres near mid-length (corner lines of nodes within a tenth of
    // the height of the fibre and a twentieth of the length of the middle).
    double top = 0, bottom = 0;
    int topCount = 0, bottomCount = 0;
    for (const std::string& line : stress) {
        std::istringstream fields(line);
        int element, node;
        double sx;
        fields >> element >> node >> sx;
        const tarvsolv::Vec3 p = mesh.node(node - 1);
        if (std::abs(p.x - length / 2) > length / 20) continue;
        if (std::abs(p.z - height) < tol) top += sx, ++topCount;
        if (std::abs(p.z) < tol) bottom += sx, ++bottomCount;
    }
    if (!tipNodes || !topCount || !bottomCount) {
        std::fprintf(stderr, "no nodes at the tip or on the fibres\n");
        return 1;
    }
    const double inertia = width * height * height * height / 12, area = width * height, g = e / (2 * (1 + nu));
    const double deflection = force * std::pow(length, 3) / (3 * e * inertia) + force * length / (5.0 / 6 * g * area);
    const double fibre = force * (length / 2) * (height / 2) / inertia;
    bool ok = within("tip deflection", -tip / tipNodes, deflection, 0.02);
    ok = within("top fibre stress at L/2", top / topCount, fibre, 0.02) && ok;
    ok = within("bottom fibre stress at L/2", bottom / bottomCount, -fibre, 0.02) && ok;
    return ok ? 0 : 1;
}
