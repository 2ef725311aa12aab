#include "shock_tube.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

#include "duct_flow.h"
#include "gas_closed_forms.h"

namespace tarvsolv {

std::vector<AxisPoint> tubeAxis(const FeMesh& mesh, const std::string& resultPath) {
    const std::vector<double> rho = lastNodeBlock(resultPath, "DENS", 1);
    const std::vector<double> velocity = lastNodeBlock(resultPath, "VELO", 3);
    const std::vector<double> pressure = lastNodeBlock(resultPath, "PRES", 1);
    const auto nodes = static_cast<std::size_t>(mesh.nodeCount());
    if (rho.size() != nodes || pressure.size() != nodes || velocity.size() != 3 * nodes)
        throw std::runtime_error(resultPath + " does not fit the mesh of " + std::to_string(nodes) +
                                 " nodes");
    double length = 0;
    for (int n = 0; n < mesh.nodeCount(); ++n) length = std::max(length, std::abs(mesh.node(n).x));
    // Sections keyed by x rounded to a millionth of the length; each point the mean of its nodes.
    std::map<long long, std::pair<AxisPoint, int>> sections;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const double x = mesh.node(n).x;
        auto& [sum, count] = sections[std::llround(x / length * 1e6)];
        sum.x += x;
        sum.rho += rho[n];
        sum.u += velocity[3 * n];
        sum.p += pressure[n];
        ++count;
    }
    std::vector<AxisPoint> points;
    for (const auto& [key, section] : sections) {
        const auto& [s, count] = section;
        points.push_back({s.x / count, s.rho / count, s.u / count, s.p / count});
    }
    return points;
}

TubeErrors tubeErrors(const std::vector<AxisPoint>& points, const TubeStates& states) {
    if (points.size() < 2) throw std::runtime_error("the tube's axis has fewer than two points");
    const testing::ExactRiemann exact({states.rhoLeft, 0, states.pLeft}, {states.rhoRight, 0, states.pRight},
                                      states.gamma);
    TubeErrors sum;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const double width = points[i + 1].x - points[i].x;
        for (const AxisPoint& q : {points[i], points[i + 1]}) {
            const testing::GasPoint e = exact.at((q.x - states.diaphragm) / states.time);
            sum.rho += 0.5 * width * std::abs(q.rho - e.rho);
            sum.u += 0.5 * width * std::abs(q.u - e.u);
            sum.p += 0.5 * width * std::abs(q.p - e.p);
        }
    }
    const double length = points.back().x - points.front().x;
    return {sum.rho / length / std::abs(states.rhoLeft - states.rhoRight),
            sum.u / length / std::abs(exact.uStar()),
            sum.p / length / std::abs(states.pLeft - states.pRight)};
}

}  // namespace tarvsolv
