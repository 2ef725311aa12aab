#include "physics/heat_balance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "fem/element_kernels.h"

namespace tarvsolv {

namespace {

// Heat flux over a face, or h (T - fluid) over a convection face, by the face rule.
double faceFlow(const Job& job, const Load& load, const std::vector<double>& nodal, double time) {
    const double reference = job.initialTemperature();
    double flow = 0;
    for (const Facet& facet : job.geometry->facetsOfFace(load.where.first)) {
        const std::vector<int> nodes = job.mesh.faceNodes(facet.element, facet.face);
        for (const BoundaryPoint& p : facePoints(job.mesh, facet)) {
            const EvalPoint at{p.x, time, reference};
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

double generatedHeat(const Job& job, const Load& load, double time) {
    const double reference = job.initialTemperature();
    std::vector<double> part;
    double heat = 0;
    for (int e = 0; e < job.mesh.elementCount(); ++e) {
        heatSource(
            job.mesh, e,
            [&](const Vec3& x) {
                return load.values[0](EvalPoint{x, time, reference});
            },
            part);
        for (double v : part) heat += v;
    }
    return heat;
}

}  // namespace

HeatBalance heatBalance(const Job& job, const std::vector<double>& nodal, double time) {
    HeatBalance b;
    const double reference = job.initialTemperature();
    for (const Load& load : job.entries.loads) {
        const std::string entry = (load.kind == LoadKind::HeatFlux     ? "heat flux on "
                                   : load.kind == LoadKind::Convection ? "convection on "
                                                                       : "internal heat in ") +
                                  load.where.describe();
        if (load.kind == LoadKind::Convection) {
            b.outflows.push_back({entry, faceFlow(job, load, nodal, time)});
        } else if (load.kind == LoadKind::HeatGeneration) {
            b.inflows.push_back({entry, generatedHeat(job, load, time)});
        } else if (load.kind == LoadKind::HeatFlux && load.where.kind == EntityRef::Kind::Point) {
            const int node = job.geometry->nearestNode(load.where.point);
            b.inflows.push_back({entry, load.values[0](EvalPoint{job.mesh.node(node), time, reference})});
        } else if (load.kind == LoadKind::HeatFlux) {
            b.inflows.push_back({entry, faceFlow(job, load, nodal, time)});
        }
    }
    settle(b);
    return b;
}

void addFlows(HeatBalance& total, const HeatBalance& at, double weight) {
    if (total.inflows.empty() && total.outflows.empty()) {
        total.inflows = at.inflows;
        total.outflows = at.outflows;
        for (HeatFlow& f : total.inflows) f.flow = 0;
        for (HeatFlow& f : total.outflows) f.flow = 0;
    }
    for (std::size_t i = 0; i < at.inflows.size(); ++i) total.inflows[i].flow += weight * at.inflows[i].flow;
    for (std::size_t i = 0; i < at.outflows.size(); ++i)
        total.outflows[i].flow += weight * at.outflows[i].flow;
}

void settle(HeatBalance& b) {
    b.in = b.out = 0;
    for (const HeatFlow& f : b.inflows) b.in += f.flow;
    for (const HeatFlow& f : b.outflows) b.out += f.flow;
    for (const HeatFlow& f : b.held) (f.flow > 0 ? b.in : b.out) += std::abs(f.flow);
    for (const HeatFlow& f : b.signedFlows) (f.flow > 0 ? b.in : b.out) += std::abs(f.flow);
    const double size = std::max({std::abs(b.in), std::abs(b.out), std::abs(b.stored)});
    b.imbalance = size > 0 ? std::abs(b.in - b.out - b.stored) / size : 0;
}

std::vector<std::string> heatBalanceTable(const HeatBalance& b) {
    std::vector<std::string> lines{b.overRun ? "heat balance over the run (heat):"
                                             : "heat balance (heat flow per unit time):"};
    char text[200];
    for (const HeatFlow& f : b.inflows) {
        std::snprintf(text, sizeof text, "  %s: %.6g in", f.entry.c_str(), f.flow);
        lines.emplace_back(text);
    }
    for (const HeatFlow& f : b.outflows) {
        std::snprintf(text, sizeof text, "  %s: %.6g out", f.entry.c_str(), f.flow);
        lines.emplace_back(text);
    }
    for (const std::vector<HeatFlow>* flows : {&b.held, &b.signedFlows})
        for (const HeatFlow& f : *flows) {
            std::snprintf(text, sizeof text, "  %s: %.6g %s", f.entry.c_str(), std::abs(f.flow),
                          f.flow > 0 ? "in" : "out");
            lines.emplace_back(text);
        }
    if (b.overRun)
        std::snprintf(text, sizeof text,
                      "  heat in %.6g, heat out %.6g, heat stored %.6g: they balance to %.2g", b.in, b.out,
                      b.stored, b.imbalance);
    else
        std::snprintf(text, sizeof text, "  heat in %.6g, heat out %.6g: they balance to %.2g", b.in, b.out,
                      b.imbalance);
    lines.emplace_back(text);
    return lines;
}

void logHeatBalance(const HeatBalance& balance, RunLog& log, double tolerance) {
    for (const std::string& line : heatBalanceTable(balance)) log.line(line);
    if (!balance.balanced(tolerance))
        log.warning(std::string(balance.overRun ? "the heat given off and stored" : "the heat given off") +
                    " does not balance the heat put in: the solution is not accurate and should not be "
                    "trusted");
}

}  // namespace tarvsolv
