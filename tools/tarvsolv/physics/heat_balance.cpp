#include "physics/heat_balance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "fem/element_kernels.h"

namespace tarvsolv {

namespace {

// Heat flux over a face, or h (T - fluid) over a convection face, by the face rule.
double faceFlow(const Job& job, const Load& load, const std::vector<double>& nodal) {
    const double reference = job.initialTemperature();
    double flow = 0;
    for (const Facet& facet : job.geometry->facetsOfFace(load.where.first)) {
        const std::vector<int> nodes = job.mesh.faceNodes(facet.element, facet.face);
        for (const BoundaryPoint& p : facePoints(job.mesh, facet)) {
            const EvalPoint at{p.x, 1.0, reference};
            if (load.kind == LoadKind::HeatFlux) {
                flow += load.values[0](at) * p.measure;
                continue;
            }
            double t = 0;
            for (std::size_t i = 0; i < nodes.size(); ++i) t += p.n[i] * nodal[nodes[i]];
            flow += load.values[0](at) * (t - load.values[1](at)) * p.measure;
        }
    }
    return flow;
}

double generatedHeat(const Job& job, const Load& load) {
    const double reference = job.initialTemperature();
    std::vector<double> part;
    double heat = 0;
    for (int e = 0; e < job.mesh.elementCount(); ++e) {
        heatSource(
            job.mesh, e,
            [&](const Vec3& x) {
                return load.values[0](EvalPoint{x, 1.0, reference});
            },
            part);
        for (double v : part) heat += v;
    }
    return heat;
}

}  // namespace

HeatBalance heatBalance(const Job& job, const std::vector<double>& nodal) {
    HeatBalance b;
    const double reference = job.initialTemperature();
    for (const Load& load : job.entries.loads) {
        const std::string entry = (load.kind == LoadKind::HeatFlux     ? "heat flux on "
                                   : load.kind == LoadKind::Convection ? "convection on "
                                                                       : "internal heat in ") +
                                  load.where.describe();
        if (load.kind == LoadKind::Convection) {
            b.outflows.push_back({entry, faceFlow(job, load, nodal)});
        } else if (load.kind == LoadKind::HeatGeneration) {
            b.inflows.push_back({entry, generatedHeat(job, load)});
        } else if (load.kind == LoadKind::HeatFlux && load.where.kind == EntityRef::Kind::Point) {
            const int node = job.geometry->nearestNode(load.where.point);
            b.inflows.push_back({entry, load.values[0](EvalPoint{job.mesh.node(node), 1.0, reference})});
        } else if (load.kind == LoadKind::HeatFlux) {
            b.inflows.push_back({entry, faceFlow(job, load, nodal)});
        }
    }
    for (const HeatFlow& f : b.inflows) b.in += f.flow;
    for (const HeatFlow& f : b.outflows) b.out += f.flow;
    const double size = std::max(std::abs(b.in), std::abs(b.out));
    b.imbalance = size > 0 ? std::abs(b.in - b.out) / size : 0;
    return b;
}

std::vector<std::string> heatBalanceTable(const HeatBalance& b) {
    std::vector<std::string> lines{"heat balance (heat flow per unit time):"};
    char text[200];
    for (const HeatFlow& f : b.inflows) {
        std::snprintf(text, sizeof text, "  %s: %.6g in", f.entry.c_str(), f.flow);
        lines.emplace_back(text);
    }
    for (const HeatFlow& f : b.outflows) {
        std::snprintf(text, sizeof text, "  %s: %.6g out", f.entry.c_str(), f.flow);
        lines.emplace_back(text);
    }
    std::snprintf(text, sizeof text, "  heat in %.6g, heat out %.6g: they balance to %.2g", b.in, b.out,
                  b.imbalance);
    lines.emplace_back(text);
    return lines;
}

}  // namespace tarvsolv
