// Matching the host's numbers to Gmsh tags when Gmsh's numbering differs from the host's: two
// bodies sharing a face, which the host counts once per body and Gmsh once.
#include <gtest/gtest.h>

#include <BOPAlgo_Builder.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRep_Tool.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

#include <cmath>
#include <set>

#include "cad_model.h"
#include "entity_map.h"
#include "gmsh_api.h"
#include "gmsh_session.h"
#include "support/occt_compound.h"

namespace velgrin {
namespace {

gp_Pnt centreOf(const TopoDS_Shape& face) {
    GProp_GProps props;
    BRepGProp::SurfaceProperties(face, props);
    return props.CentreOfMass();
}

// Hands `shape` to the running Gmsh session as the mesher does and maps `model` onto it.
EntityMap importAndMap(const CadModel& model, const TopoDS_Shape& shape) {
    gmsh::vectorpair imported;
    gmsh::model::occ::importShapesNativePointer(&shape, imported, true);
    gmsh::model::occ::synchronize();
    return EntityMap::build(model);
}

// Every host face of the two six-faced bodies maps to a Gmsh surface with the same centre; answers
// the surfaces.
std::set<int> expectFacesMatch(const CadModel& model, const EntityMap& map) {
    std::set<int> surfaces;
    for (int face = 1; face <= 12; ++face) {
        const auto& body = model.bodies()[face <= 6 ? 0 : 1];
        double x, y, z;
        gmsh::model::occ::getCenterOfMass(2, *surfaces.insert(map.surfaceOfFace(face)).first, x, y, z);
        EXPECT_LT(centreOf(body.faces[face - body.firstFace]).Distance(gp_Pnt(x, y, z)), 1e-9)
            << "face " << face;
    }
    return surfaces;
}

TEST(EntityMap, FacesSharedByTwoBodiesKeepTheirNumberInEachBody) {
    // Two 10 mm cubes side by side, glued so that they share the face at x = 10.
    BOPAlgo_Builder glue;
    glue.AddArgument(BRepPrimAPI_MakeBox(10, 10, 10).Shape());
    glue.AddArgument(BRepPrimAPI_MakeBox(gp_Pnt(10, 0, 0), 10, 10, 10).Shape());
    glue.Perform();
    ASSERT_FALSE(glue.HasErrors());
    const CadModel model = CadModel::fromShape(glue.Shape());
    ASSERT_EQ(model.bodies().size(), 2u);
    ASSERT_EQ(model.faceCount(), 12);
    TopTools_IndexedMapOfShape distinct;
    TopExp::MapShapes(model.shape(), TopAbs_FACE, distinct);
    ASSERT_EQ(distinct.Extent(), 11) << "the bodies must share one face";

    GmshSession session;
    const EntityMap map = importAndMap(model, model.shape());
    EXPECT_LE(map.surfaceOfFace(12), 11) << "host face 12 lies past the last of Gmsh's 11 surfaces";
    const std::set<int> surfaces = expectFacesMatch(model, map);
    EXPECT_EQ(surfaces.size(), 11u) << "the shared face maps to one surface";
    // The shared surface answers body 1's number as a face of body 1 and body 2's as one of body 2.
    int shared = 0;
    for (int s : surfaces)
        if (map.hostFace(map.volumeOfBody(1), s) && map.hostFace(map.volumeOfBody(2), s)) shared = s;
    ASSERT_NE(shared, 0);
    const int first = map.hostFace(map.volumeOfBody(1), shared),
              second = map.hostFace(map.volumeOfBody(2), shared);
    EXPECT_LE(first, 6);
    EXPECT_GE(second, 7);
    EXPECT_NEAR(centreOf(model.bodies()[1].faces[second - 7]).X(), 10.0, 1e-9);
    // Every vertex is found: the second body's four shared corners are the first body's too.
    EXPECT_TRUE(map.unmatched().empty());
    EXPECT_GT(map.pointOfVertex(model.vertexCount()), 0);
}

TEST(EntityMap, FindsEveryEntityWhenGmshBindsTheBodiesInAnotherOrder) {
    const TopoDS_Shape small = BRepPrimAPI_MakeBox(5, 5, 5).Shape();
    const TopoDS_Shape large = BRepPrimAPI_MakeBox(gp_Pnt(20, 0, 0), 10, 8, 6).Shape();
    const CadModel model = CadModel::fromShape(compoundOf({small, large}));
    GmshSession session;
    const EntityMap map = importAndMap(model, compoundOf({large, small}));

    EXPECT_GT(map.matchedBySearch(), 0);
    double mass = 0;
    gmsh::model::occ::getMass(3, map.volumeOfBody(1), mass);
    EXPECT_NEAR(mass, 125.0, 1e-9) << "body 1 is the small box";
    expectFacesMatch(model, map);
    for (int vertex = 1; vertex <= model.vertexCount(); ++vertex) {
        const auto& body = model.bodies()[vertex <= 8 ? 0 : 1];
        const gp_Pnt cad = BRep_Tool::Pnt(TopoDS::Vertex(body.vertices[vertex - body.firstVertex]));
        std::vector<double> xyz;
        gmsh::model::getValue(0, map.pointOfVertex(vertex), {}, xyz);
        ASSERT_EQ(xyz.size(), 3u);
        EXPECT_LT(cad.Distance(gp_Pnt(xyz[0], xyz[1], xyz[2])), 1e-9) << "vertex " << vertex;
    }
    EXPECT_TRUE(map.unmatched().empty());
}

}  // namespace
}  // namespace velgrin
