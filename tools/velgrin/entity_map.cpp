#include "entity_map.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <set>

#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

#include "gmsh_api.h"
#include "velgrin_error.h"

namespace velgrin {

namespace {

// Where an entity lies and how large it is: centre of mass and mass (volume, area, length);
// a vertex has its position and no mass.
struct Signature {
    std::array<double, 3> centre{};
    double mass = 0;
};

Signature cadSignature(const TopoDS_Shape& shape, int dim) {
    Signature s;
    if (dim == 0) {
        const gp_Pnt p = BRep_Tool::Pnt(TopoDS::Vertex(shape));
        s.centre = {p.X(), p.Y(), p.Z()};
        return s;
    }
    GProp_GProps props;
    if (dim == 3) BRepGProp::VolumeProperties(shape, props);
    if (dim == 2) BRepGProp::SurfaceProperties(shape, props);
    if (dim == 1) BRepGProp::LinearProperties(shape, props);
    const gp_Pnt c = props.CentreOfMass();
    s.centre = {c.X(), c.Y(), c.Z()};
    s.mass = std::abs(props.Mass());
    return s;
}

Signature gmshSignature(int dim, int tag) {
    Signature s;
    if (dim == 0) {
        std::vector<double> xyz;
        gmsh::model::getValue(0, tag, {}, xyz);
        if (xyz.size() >= 3) s.centre = {xyz[0], xyz[1], xyz[2]};
        return s;
    }
    gmsh::model::occ::getCenterOfMass(dim, tag, s.centre[0], s.centre[1], s.centre[2]);
    gmsh::model::occ::getMass(dim, tag, s.mass);
    s.mass = std::abs(s.mass);
    return s;
}

double distance(const Signature& a, const Signature& b) {
    double sum = 0;
    for (int i = 0; i < 3; ++i) sum += (a.centre[i] - b.centre[i]) * (a.centre[i] - b.centre[i]);
    return std::sqrt(sum);
}

std::vector<int> tagsOf(const gmsh::vectorpair& dimTags, int dim) {
    std::set<int> tags;
    for (const auto& [d, t] : dimTags)
        if (d == dim) tags.insert(std::abs(t));
    return {tags.begin(), tags.end()};
}

}  // namespace

// Does the matching for EntityMap::build; holds the tolerances and the Gmsh signatures it has read.
class EntityMatcher {
  public:
    EntityMatcher(const CadModel& model, EntityMap& map) : model_(model), map_(map) {
        lengthTolerance_ = 1e-6 * std::max(model.diagonal(), 1e-9);
        for (int dim = 0; dim <= 3; ++dim) {
            TopTools_IndexedMapOfShape all;
            static constexpr TopAbs_ShapeEnum kKinds[] = {TopAbs_VERTEX, TopAbs_EDGE, TopAbs_FACE,
                                                          TopAbs_SOLID};
            TopExp::MapShapes(model.shape(), kKinds[dim], all);
            wholeModel_[dim] = all;
        }
    }

    void run() {
        for (std::size_t b = 0; b < model_.bodies().size(); ++b)
            matchBody(model_.bodies()[b], static_cast<int>(b) + 1);
    }

  private:
    const Signature& gmshOf(int dim, int tag) {
        auto [it, added] = gmshSignatures_[dim].try_emplace(tag);
        if (added) it->second = gmshSignature(dim, tag);
        return it->second;
    }

    bool agrees(const Signature& cad, const Signature& gm, int dim) const {
        if (distance(cad, gm) > lengthTolerance_ * 10) return false;
        if (dim == 0) return true;
        return std::abs(cad.mass - gm.mass) <= 1e-6 * std::max(cad.mass, gm.mass) + 1e-12;
    }

    // The Gmsh tag among `candidates` of the entity `shape`: first the tag equal to its index in the
    // whole model (how Gmsh binds an unchanged shape), else the closest agreeing candidate; 0 when none.
    int match(const TopoDS_Shape& shape, int dim, const std::vector<int>& candidates) {
        const Signature cad = cadSignature(shape, dim);
        const int guess = wholeModel_[dim].FindIndex(shape);
        if (guess > 0 && std::binary_search(candidates.begin(), candidates.end(), guess) &&
            agrees(cad, gmshOf(dim, guess), dim)) {
            ++map_.inPlace_;
            return guess;
        }
        int best = 0;
        double bestDistance = std::numeric_limits<double>::max();
        for (int tag : candidates) {
            const Signature& gm = gmshOf(dim, tag);
            if (!agrees(cad, gm, dim)) continue;
            const double d = distance(cad, gm);
            if (d < bestDistance) bestDistance = d, best = tag;
        }
        if (best) ++map_.bySearch_;
        return best;
    }

    void matchBody(const CadBody& body, int number) {
        gmsh::vectorpair volumes;
        gmsh::model::getEntities(volumes, 3);
        const int volume = match(body.solid, 3, tagsOf(volumes, 3));
        if (!volume)
            throw VelgrinError(ExitCode::BadModel,
                               "Body " + std::to_string(number) +
                                   " of the STEP model could not be found in the mesher's model.");
        map_.volumes_.push_back(volume);

        gmsh::vectorpair surfaces, curves, points;
        gmsh::model::getBoundary({{3, volume}}, surfaces, false, false, false);
        gmsh::model::getBoundary(surfaces, curves, false, false, false);
        gmsh::model::getBoundary({{3, volume}}, points, false, false, true);
        const auto surfaceTags = tagsOf(surfaces, 2), curveTags = tagsOf(curves, 1),
                   pointTags = tagsOf(points, 0);

        for (std::size_t i = 0; i < body.faces.size(); ++i) {
            const int face = body.firstFace + static_cast<int>(i);
            const int surface = match(body.faces[i], 2, surfaceTags);
            if (!surface)
                throw VelgrinError(ExitCode::BadModel,
                                   "Face " + std::to_string(face) +
                                       " of the STEP model could not be found in the mesher's model.");
            map_.surfaces_.push_back(surface);
            map_.hostFaces_[{volume, surface}] = face;
        }
        for (std::size_t i = 0; i < body.edges.size(); ++i) {
            const int curve = match(body.edges[i], 1, curveTags);
            if (!curve)
                map_.unmatched_.push_back("edge " + std::to_string(body.firstEdge + static_cast<int>(i)));
            map_.curves_.push_back(curve);
        }
        for (std::size_t i = 0; i < body.vertices.size(); ++i) {
            const int point = match(body.vertices[i], 0, pointTags);
            if (!point)
                map_.unmatched_.push_back("vertex " + std::to_string(body.firstVertex + static_cast<int>(i)));
            map_.points_.push_back(point);
        }
    }

    const CadModel& model_;
    EntityMap& map_;
    double lengthTolerance_ = 0;
    std::array<TopTools_IndexedMapOfShape, 4> wholeModel_;
    std::array<std::map<int, Signature>, 4> gmshSignatures_;
};

EntityMap EntityMap::build(const CadModel& model) {
    EntityMap map;
    EntityMatcher(model, map).run();
    return map;
}

int EntityMap::hostFace(int volume, int surface) const {
    const auto it = hostFaces_.find({volume, surface});
    return it == hostFaces_.end() ? 0 : it->second;
}

}  // namespace velgrin
