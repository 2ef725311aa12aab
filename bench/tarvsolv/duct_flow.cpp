#include "duct_flow.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <numbers>
#include <sstream>
#include <stdexcept>

#include "fem/element_kernels.h"

namespace tarvsolv {

DuctFlow squareDuctFlow(double side, double gradient, double viscosity) {
    // Half-width b; the odd terms i of the section's Fourier series. The flow-rate terms fall as
    // 1 / i^5, the centre speed's alternate and fall as 1 / i^3: 10^5 terms leave 1e-15 of it.
    const double b = side / 2, pi = std::numbers::pi;
    double rateSum = 0, centreSum = 0;
    for (int i = 1; i < 200000; i += 2) {
        const double x = i * pi / 2;
        rateSum += std::tanh(x) / std::pow(i, 5);
        centreSum += ((i / 2) % 2 == 0 ? 1 : -1) * (1 - 1 / std::cosh(x)) / std::pow(i, 3);
    }
    const double scale = gradient / viscosity;
    return {4 * std::pow(b, 4) * scale / 3 * (1 - 192 / std::pow(pi, 5) * rateSum),
            16 * b * b * scale / std::pow(pi, 3) * centreSum};
}

std::vector<double> lastNodeBlock(const std::string& resultPath, const std::string& name, int per) {
    std::ifstream in(resultPath);
    if (!in) throw std::runtime_error("cannot read " + resultPath);
    std::vector<double> values;
    bool found = false;
    std::string line;
    const auto bad = [&] {
        return std::runtime_error("a " + name + " block of " + resultPath + " has a bad line: " + line);
    };
    while (std::getline(in, line)) {
        if (line.rfind(name + " ", 0) != 0) continue;
        found = true;
        values.clear();
        while (std::getline(in, line) && !line.empty()) {
            std::istringstream fields(line);
            long node = 0;
            if (!(fields >> node) || node != static_cast<long>(values.size() / per + 1)) throw bad();
            for (int k = 0; k < per; ++k) {
                double v = 0;
                if (!(fields >> v)) throw bad();
                values.push_back(v);
            }
        }
    }
    if (!found) throw std::runtime_error(resultPath + " holds no " + name + " block");
    return values;
}

std::vector<double> lastVelocities(const std::string& resultPath) {
    return lastNodeBlock(resultPath, "VELO", 3);
}

DuctFlow faceFlow(const FeMesh& mesh, const std::vector<double>& velocities, int face) {
    if (velocities.size() != mesh.xyz.size())
        throw std::runtime_error("the velocities are for " + std::to_string(velocities.size() / 3) +
                                 " nodes, the mesh has " + std::to_string(mesh.nodeCount()));
    const auto velocity = [&](int n) {
        return Vec3{velocities[3 * n], velocities[3 * n + 1], velocities[3 * n + 2]};
    };
    DuctFlow flow;
    double area = 0;
    Vec3 centroid;
    std::vector<int> faceNodes;
    for (const Facet& f : mesh.facets) {
        if (f.tag != face) continue;
        const std::vector<int> nodes = mesh.faceNodes(f.element, f.face);
        faceNodes.insert(faceNodes.end(), nodes.begin(), nodes.end());
        for (const BoundaryPoint& p : facePoints(mesh, f)) {
            Vec3 u;
            for (std::size_t i = 0; i < nodes.size(); ++i) u = u + p.n[i] * velocity(nodes[i]);
            flow.flowRate += p.measure * dot(u, p.normal);
            area += p.measure;
            centroid = centroid + p.measure * p.x;
        }
    }
    if (faceNodes.empty()) throw std::runtime_error("no facet is tagged " + std::to_string(face));
    centroid = (1 / area) * centroid;
    double nearest = std::numeric_limits<double>::infinity();
    for (int n : faceNodes)
        if (const double d = norm(mesh.node(n) - centroid); d < nearest) {
            nearest = d;
            flow.centreSpeed = norm(velocity(n));
        }
    return flow;
}

}  // namespace tarvsolv
