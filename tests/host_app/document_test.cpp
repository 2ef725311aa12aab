// The OpenCASCADE document layer: bodies and numbering, persistent keys, boxes, surface kinds and
// axes, units and bad files. The STEP dump the mesh run exports is checked by the host's session
// tests (the same part with the same keys) and MeshRunFailure.RefusedExport.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCone.hxx>
#include <Geom_BezierCurve.hxx>
#include <Geom_SurfaceOfRevolution.hxx>
#include <TColgp_Array1OfPnt.hxx>

#include "documents/host_session.h"
#include "documents/occt_document.h"
#include "sample_parts.h"
#include "support/occt_compound.h"
#include "support/scratch_folder.h"

namespace {

using hostapp::DocumentError;
using hostapp::EntityRef;
using hostapp::EntityType;
using hostapp::OcctDocument;
namespace fs = std::filesystem;

std::shared_ptr<OcctDocument> sample(const std::string& name, std::int32_t unit = host::kUnitMm) {
    hostapp::silenceOcctMessages();
    return OcctDocument::open(samplePath(name), unit);
}

std::vector<host::KeyBytes> allKeys(const OcctDocument& doc) {
    std::vector<host::KeyBytes> keys;
    for (auto type : {EntityType::Face, EntityType::Edge, EntityType::Vertex}) {
        for (int n = 1; n <= doc.totalCount(type); ++n)
            keys.push_back(doc.entityKey(*doc.fromGlobalNumber(type, n)));
    }
    return keys;
}

void expectPoint(const host::Point3& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-6);
    EXPECT_NEAR(p.y, y, 1e-6);
    EXPECT_NEAR(p.z, z, 1e-6);
}

TEST(Document, KeysAreUniqueAndTheSameWhenTheFileIsOpenedAgain) {
    for (const char* name : {"bracket.step", "two_solids.step", "tube.step", "plate.step"}) {
        SCOPED_TRACE(name);
        auto first = sample(name);
        auto second = sample(name);
        const auto keys = allKeys(*first);
        EXPECT_EQ(std::set<host::KeyBytes>(keys.begin(), keys.end()).size(), keys.size());
        EXPECT_EQ(allKeys(*second), keys);
        for (int b = 0; b < first->bodyCount(); ++b) EXPECT_EQ(second->bodyKey(b), first->bodyKey(b));
        // Every key finds its own entity, in its body and among all bodies.
        for (int n = 1; n <= first->totalCount(EntityType::Edge); ++n) {
            const EntityRef ref = *first->fromGlobalNumber(EntityType::Edge, n);
            EXPECT_EQ(second->findEntity(first->entityKey(ref)), ref);
            EXPECT_EQ(second->findEntity(first->entityKey(ref), ref.body), ref);
        }
    }
}

TEST(Document, KeysFollowTheGeometryNotTheOrderOfTheSolids) {
    const TopoDS_Shape small = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 10, 10, 10).Shape();
    const TopoDS_Shape large = BRepPrimAPI_MakeBox(gp_Pnt(20, 0, 0), 30, 10, 10).Shape();
    OcctDocument forward(compoundOf({small, large}));
    OcctDocument backward(compoundOf({large, small}));
    EXPECT_EQ(forward.bodyKey(0), backward.bodyKey(1));
    EXPECT_NE(forward.bodyKey(0), forward.bodyKey(1));
    const host::KeyBytes& key = forward.entityKey({0, EntityType::Face, 2});
    const auto found = backward.findEntity(key);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->body, 1);
    EXPECT_FALSE(backward.findEntity(key, 0)) << "a key is looked for only in the body named";
    EXPECT_FALSE(forward.findEntity(host::KeyBytes{}));
    EXPECT_FALSE(forward.findEntity(host::KeyBytes{'X', '1'}));

    // Two equal solids at one place: only the order tells them apart, and still every key differs.
    OcctDocument twins(compoundOf({small, BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 10, 10, 10).Shape()}));
    ASSERT_EQ(twins.bodyCount(), 2);
    EXPECT_NE(twins.bodyKey(0), twins.bodyKey(1));
    const auto keys = allKeys(twins);
    EXPECT_EQ(std::set<host::KeyBytes>(keys.begin(), keys.end()).size(), keys.size());
}

TEST(Document, BoxesOfTheModelAndItsEntitiesInTheModelUnit) {
    auto beam = sample("beam.step");
    const auto [low, high] = beam->boundingBox();
    expectPoint(low, 0, 0, 0);
    expectPoint(high, 200, 20, 10);
    for (int n = 1; n <= beam->totalCount(EntityType::Vertex); ++n) {
        const EntityRef v = *beam->fromGlobalNumber(EntityType::Vertex, n);
        const auto [a, b] = beam->corners(v);
        EXPECT_EQ(a, b);
        EXPECT_EQ(a, beam->vertexPoint(v));
    }
    // The boxes of faces and edges are checked by the view picker's tests, which find the bracket's
    // entities by them.
    EXPECT_THROW(beam->vertexPoint({0, EntityType::Face, 0}), DocumentError);

    // STEP coordinates are read in the model unit; BREP files carry no unit.
    expectPoint(sample("beam.step", host::kUnitCm)->boundingBox().second, 20, 2, 1);
    expectPoint(sample("beam.brep", host::kUnitCm)->boundingBox().second, 200, 20, 10);
}

// The surfaces of the document's faces that are of `kind`.
std::vector<hostapp::SurfaceInfo> surfacesOf(const OcctDocument& doc, std::int32_t kind) {
    std::vector<hostapp::SurfaceInfo> found;
    for (int n = 1; n <= doc.totalCount(EntityType::Face); ++n) {
        const auto info = doc.surface(*doc.fromGlobalNumber(EntityType::Face, n));
        if (info.kind == kind) found.push_back(info);
    }
    return found;
}

TEST(Document, ConesAndTurnedSurfacesCarryTheAxisOfTheirTurn) {
    // A cylinder's axis and a plane's lack of one are checked by the spin the solver input writes
    // (tests/loadcase); here the other surfaces of revolution.
    OcctDocument cone(BRepPrimAPI_MakeCone(gp_Ax2(gp_Pnt(5, 6, 0), gp::DX()), 10, 4, 20).Shape());
    const auto cones = surfacesOf(cone, host::kSurfaceCone);
    ASSERT_EQ(cones.size(), 1u);
    ASSERT_TRUE(cones[0].axis);
    EXPECT_NEAR(cones[0].axis->first.y, 6, 1e-9);
    EXPECT_NEAR(cones[0].axis->first.z, 0, 1e-9);
    EXPECT_NEAR(cones[0].axis->second.x, 1, 1e-9);

    // A curved profile turned about the Z axis: a sheet of one face, still one body.
    TColgp_Array1OfPnt poles(1, 3);
    poles(1) = gp_Pnt(10, 0, 0);
    poles(2) = gp_Pnt(20, 0, 10);
    poles(3) = gp_Pnt(10, 0, 20);
    Handle(Geom_SurfaceOfRevolution) surface =
        new Geom_SurfaceOfRevolution(new Geom_BezierCurve(poles), gp::OZ());
    OcctDocument turned(BRepBuilderAPI_MakeFace(surface, 0, 3, 0, 1, 1e-7).Shape());
    ASSERT_EQ(turned.bodyCount(), 1);
    const auto turns = surfacesOf(turned, host::kSurfaceRevolution);
    ASSERT_EQ(turns.size(), 1u);
    ASSERT_TRUE(turns[0].axis);
    expectPoint(turns[0].axis->second, 0, 0, 1);
}

TEST(Document, EdgesKnowTheirFacesOnceEach) {
    auto beam = sample("beam.step");
    for (int n = 1; n <= beam->totalCount(EntityType::Edge); ++n)
        EXPECT_EQ(beam->edgeFaces(*beam->fromGlobalNumber(EntityType::Edge, n)).size(), 2u) << "edge " << n;
    // The tube's seams lie on one cylinder only, though the cylinder holds them twice.
    auto tube = sample("tube.step");
    int seams = 0;
    for (int n = 1; n <= tube->totalCount(EntityType::Edge); ++n) {
        if (tube->edgeFaces(*tube->fromGlobalNumber(EntityType::Edge, n)).size() == 1) ++seams;
    }
    EXPECT_EQ(seams, 2);
}

// The numbering over the bodies is checked through the add-on (SolverInput.SecondBodyContinuesTheNumbering,
// the session tests' face 7 of two solids); here what is refused.
TEST(Document, BadFilesAndReferencesAreRefused) {
    auto doc = sample("two_solids.step");
    EXPECT_FALSE(doc->fromGlobalNumber(EntityType::Face, 13));
    EXPECT_FALSE(doc->fromGlobalNumber(EntityType::Face, 0));
    EXPECT_THROW(doc->entity({2, EntityType::Face, 0}), DocumentError);
    EXPECT_THROW(doc->entity({0, EntityType::Face, 6}), DocumentError);
    // A file that is no STEP file, a missing one, and a STEP file under a name of another format.
    ScratchFolder folder;
    writeFile(folder.file("bad.step"), "this is no STEP file\n");
    fs::copy_file(samplePath("beam.step"), folder.file("part.igs"));
    for (const std::string& path :
         {folder.file("bad.step"), std::string("/no/such/part.step"), folder.file("part.igs")})
        EXPECT_THROW(OcctDocument::open(path), DocumentError) << path;
}

}  // namespace
