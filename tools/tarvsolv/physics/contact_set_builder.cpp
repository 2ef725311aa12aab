#include "physics/contact_set_builder.h"

#include <algorithm>
#include <cmath>

#include "fem/element_kernels.h"
#include "physics/contact_law.h"
#include "physics/structural_statics.h"

namespace tarvsolv {
namespace {

double stiffnessScale(const ElasticMaterial& m) {
    if (m.isotropic) return m.lambda + 2 * m.mu;
    return std::max({m.d[0], m.d[7], m.d[14]});
}

const char* kindName(ContactEntry::Kind kind) {
    return kind == ContactEntry::Kind::PlaneGap    ? "gap to plane"
           : kind == ContactEntry::Kind::NormalGap ? "normal gap"
                                                   : "contact";
}

class ContactSetBuilder {
  public:
    ContactSetBuilder(const Job& job, ContactSearch& search) : job_(job), search_(search) {
        temperatures_.reference = job.initialTemperature();
    }

    ContactSet build() {
        // Every contact facet is known before the points, which the finer side of a pair carries.
        for (std::size_t i = 0; i < job_.entries.contacts.size(); ++i)
            set_.faces.push_back(face(static_cast<int>(i)));
        for (std::size_t i = 0; i < job_.entries.contacts.size(); ++i) {
            const auto& facets = job_.geometry->facetsOfFace(job_.entries.contacts[i].face);
            for (std::size_t k = 0; k < facets.size(); ++k)
                addPoints(static_cast<int>(i), static_cast<int>(k), facets[k]);
        }
        return std::move(set_);
    }

  private:
    double stiffness(const Facet& f) const {
        return stiffnessScale(elementMaterial(job_, temperatures_, f.element));
    }
    int body(const Facet& f) const { return job_.geometry->bodyOfElement(f.element); }

    ContactFace face(int i) {
        const ContactEntry& c = job_.entries.contacts[i];
        ContactFace face;
        face.face = c.face;
        face.what = kindName(c.kind);
        const auto& facets = job_.geometry->facetsOfFace(c.face);
        for (std::size_t k = 0; k < facets.size(); ++k) {
            const Facet& f = facets[k];
            face.facetNodes.push_back(job_.mesh.faceNodes(f.element, f.face));
            if (c.kind == ContactEntry::Kind::Interface)
                search_.addFacet(i, static_cast<int>(k), face.facetNodes.back(), f.element, stiffness(f),
                                 body(f));
        }
        return face;
    }

    void addPoints(int i, int facet, const Facet& f) {
        const ContactEntry& c = job_.entries.contacts[i];
        const std::vector<BoundaryPoint> points = facePoints(job_.mesh, f);
        double area = 0;
        for (const BoundaryPoint& p : points) area += p.measure;
        if (c.kind == ContactEntry::Kind::Interface && !search_.carriesAny(body(f)))
            return;  // the other side of its pairs: its partners carry them
        const double k = stiffness(f);
        for (const BoundaryPoint& bp : points) {
            ContactPoint p;
            p.face = i;
            p.facet = facet;
            p.area = bp.measure;
            p.size = std::sqrt(area);
            p.nodes = set_.faces[i].facetNodes[facet];
            if (c.kind == ContactEntry::Kind::Interface)
                awaitPair(p, body(f), k, bp);
            else
                closeGap(p, c, k, bp);
            set_.points.push_back(std::move(p));
        }
    }

    // The face moves along d up to the gap: c = gap - u . d.
    void closeGap(ContactPoint& p, const ContactEntry& c, double stiffness, const BoundaryPoint& bp) const {
        const Vec3 d = c.kind == ContactEntry::Kind::PlaneGap ? c.direction : bp.normal;
        for (std::size_t n = 0; n < p.nodes.size(); ++n)
            for (int a = 0; a < 3; ++a) p.a.push_back(-bp.n[n] * d[a]);
        p.c0 = p.startGap = (*c.gap)(EvalPoint{bp.x, 1.0, temperatures_.reference});
        p.normal = -1.0 * d;
        p.penalty = contact_law::penalty(stiffness, p.size);
    }

    static void awaitPair(ContactPoint& p, int body, double stiffness, const BoundaryPoint& bp) {
        p.between = true;
        p.body = body;
        p.stiffness = stiffness;
        p.shape = bp.n;
    }

    const Job& job_;
    ContactSearch& search_;
    TemperatureField temperatures_;
    ContactSet set_;
};

}  // namespace

ContactSet buildContactSet(const Job& job, ContactSearch& search) {
    return ContactSetBuilder(job, search).build();
}

}  // namespace tarvsolv
