#include "physics/contact_report.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "physics/contact_law.h"

namespace tarvsolv {
namespace {

std::string faceName(const ContactFace& face) {
    return std::string(face.what) + " on face " + std::to_string(face.face);
}

// Sums the contact of every face point by point. Pressure is reported as the mean over a facet
// (force over area): the values at single integration points scatter by some 10 % about it.
class StatusSums {
  public:
    explicit StatusSums(const ContactSet& set) : set_(set), out_(set.faces.size()), nodes_(set.faces.size()) {
        for (std::size_t i = 0; i < set.faces.size(); ++i) {
            out_[i].face = set.faces[i].face;
            out_[i].what = set.faces[i].what;
        }
    }

    void add(const ContactPoint& p, const std::vector<double>& global) {
        const double g = contact_law::gap(p, global);
        const double pr = contact_law::pressure(p, global);
        FaceStatus& s = out_[p.face];
        ++s.points;
        s.largestPenetration = std::max(s.largestPenetration, -g);
        FacetSum& sum = facets_[{p.face, p.facet}];
        sum.area += p.area;
        sum.force += p.area * pr;
        if (!(pr > 0)) return;
        if (p.otherFace >= 0) sum.other = p.otherFace;
        ++s.pointsInContact;
        press(p, pr, p.face, p.facet, 1);
        if (p.otherFace >= 0) press(p, pr, p.otherFace, p.otherFacet, -1);
    }

    std::vector<FaceStatus> finish() {
        for (const auto& [key, sum] : facets_) {
            const double mean = sum.area > 0 ? sum.force / sum.area : 0;
            out_[key.first].largestPressure = std::max(out_[key.first].largestPressure, mean);
            if (sum.other >= 0)
                out_[sum.other].largestPressure = std::max(out_[sum.other].largestPressure, mean);
        }
        for (std::size_t i = 0; i < out_.size(); ++i)
            out_[i].nodesInContact = static_cast<int>(nodes_[i].size());
        return std::move(out_);
    }

  private:
    struct FacetSum {
        double force = 0, area = 0;
        int other = -1;
    };

    // The point's pressure `pr` on facet `facet` of face `face`, pushing along `sign` times its normal.
    void press(const ContactPoint& p, double pr, int face, int facet, double sign) {
        FaceStatus& f = out_[face];
        f.force = f.force + (sign * p.area * pr) * p.normal;
        f.normalForce += p.area * pr;
        const auto& list = set_.faces[face].facetNodes[facet];
        nodes_[face].insert(list.begin(), list.end());
    }

    const ContactSet& set_;
    std::vector<FaceStatus> out_;
    std::vector<std::set<int>> nodes_;
    std::map<std::pair<int, int>, FacetSum> facets_;
};

}  // namespace

void logContactPoints(const ContactSet& set, const ContactSearch& search, int unpaired,
                      ContactPairing pairing, RunLog& log) {
    for (std::size_t i = 0; i < set.faces.size(); ++i) {
        int points = 0;
        for (const ContactPoint& p : set.points) points += p.face == static_cast<int>(i) && p.paired();
        log.line(faceName(set.faces[i]) + ": " + std::to_string(set.faces[i].facetNodes.size()) +
                 " facets, " + std::to_string(points) + " contact points");
    }
    const auto& bodies = search.facetsOfBody();
    if (bodies.size() == 1)
        log.warning("every contact face belongs to body " + std::to_string(bodies.begin()->first) +
                    ": contact needs contact faces on two bodies, so these hold nothing");
    if (unpaired && pairing == ContactPairing::FoundAgainAsBodiesMove)
        log.line(std::to_string(unpaired) +
                 " point(s) of the contact faces face no other body's contact face within a facet size yet");
    else if (unpaired)
        log.warning(std::to_string(unpaired) +
                    " point(s) of the contact faces face no other body's contact face within a facet size "
                    "and cannot come into contact");
}

void logHeldContact(const ContactSet& set, const std::vector<double>& global, RunLog& log) {
    std::vector<int> held(set.faces.size()), points(set.faces.size());
    for (const ContactPoint& p : set.points) {
        if (!p.paired()) continue;
        ++points[p.face];
        held[p.face] += contact_law::holds(p, global);
    }
    for (std::size_t i = 0; i < set.faces.size(); ++i) {
        const std::string face = faceName(set.faces[i]);
        // The coarser side of a contact pair carries no points: its partner's hold it.
        if (points[i] == 0)
            log.line(face + ": held through the points of the contact faces it faces");
        else
            log.line(face + ": " + std::to_string(held[i]) + " of its " + std::to_string(points[i]) +
                     " points are in contact and hold the body as normal springs");
    }
}

std::vector<FaceStatus> contactStatus(const ContactSet& set, const std::vector<double>& global) {
    StatusSums sums(set);
    for (const ContactPoint& p : set.points)
        if (p.paired()) sums.add(p, global);
    return sums.finish();
}

void logContactStatus(const ContactSet& set, const std::vector<double>& global, RunLog& log) {
    for (const FaceStatus& s : contactStatus(set, global)) {
        std::ostringstream text;
        text.precision(5);
        text << s.what << " on face " << s.face << ": " << s.nodesInContact << " nodes in contact, force "
             << s.normalForce << " (" << s.force.x << ", " << s.force.y << ", " << s.force.z
             << "), largest pressure " << s.largestPressure;
        if (s.largestPenetration > 0) text << ", largest penetration " << s.largestPenetration;
        log.line(text.str());
    }
}

}  // namespace tarvsolv
