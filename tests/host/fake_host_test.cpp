// The fake host's own behaviour that the add-on's tests rely on: query rules, numbering, keys,
// lookups and failure injection.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "platform/ref_ptr.h"
#include "support/fake_host.h"
#include "support/scratch_folder.h"

namespace {

using host::Point3;
using platform::RefPtr;
using testhost::FakeHost;

// Walks the host the way the add-on does: hook -> root -> sessions -> session by name.
RefPtr<host::IQDSession> lookUp(FakeHost& host, const char* name) {
    RefPtr<platform::IUnknown> rootObject;
    platform::check(host.hook()->GetRoot(rootObject.put()), host::IQDAddOnHook::iid);
    auto root = rootObject.require<host::IQDRoot>();
    RefPtr<host::IQDSessions> sessions;
    platform::check(root->get_Sessions(sessions.put()), host::IQDRoot::iid);
    RefPtr<host::IQDSession> session;
    platform::check(sessions->Item(platform::Variant(name), session.put()), host::IQDSessions::iid);
    return session;
}

TEST(FakeHostSessions, PartAndAssemblyOfferTheirOwnInterfaces) {
    FakeHost host;
    host.addPartSession("Bracket");
    host.addAssemblySession("Frame");
    for (const bool part : {true, false}) {
        auto session = lookUp(host, part ? "Bracket" : "Frame");
        std::int32_t kind = 0;
        ASSERT_EQ(session->get_Kind(&kind), platform::kOk);
        EXPECT_EQ(kind == 2, part);
        EXPECT_EQ(static_cast<bool>(session.query<host::IQDPartSession>()), part);
        EXPECT_EQ(static_cast<bool>(session.query<host::IQDAssemblySession>()), !part);
        EXPECT_TRUE(session.query<host::IQDDesignSession>());
    }
}

TEST(FakeHostSessions, ItemFindsOnlyOpenSessionsByStringName) {
    FakeHost host;
    host.addPartSession("Bracket");
    RefPtr<host::IQDSessions> sessions;
    ASSERT_EQ(host.root().get_Sessions(sessions.put()), platform::kOk);
    RefPtr<host::IQDSession> session;
    EXPECT_LT(sessions->Item(platform::Variant("Other"), session.put()), 0);
    EXPECT_LT(sessions->Item(platform::Variant(std::int32_t{1}), session.put()), 0);
    EXPECT_FALSE(session);
    host.closeSession("Bracket");
    EXPECT_LT(sessions->Item(platform::Variant("Bracket"), session.put()), 0);
}

TEST(FakeHostSessions, HandedOutObjectsCarryOneReferenceForTheCaller) {
    FakeHost host;
    auto& part = host.addPartSession("Bracket");
    const auto before = part.referenceCount();
    {
        auto session = lookUp(host, "Bracket");
        EXPECT_EQ(part.referenceCount(), before + 1);
        auto design = session.require<host::IQDDesignSession>();
        EXPECT_EQ(part.referenceCount(), before + 2);
    }
    EXPECT_EQ(part.referenceCount(), before);
}

TEST(FakeHostGeometry, BoxHasDistinctKeysCornersAndEdgeFaces) {
    FakeHost host;
    auto& body = host.addPartSession("Bracket").addBody().addBox({0, 0, 0}, {10, 20, 30});
    ASSERT_EQ(body.faceCount(), 6u);
    ASSERT_EQ(body.edgeCount(), 12u);
    ASSERT_EQ(body.vertexCount(), 8u);

    std::set<host::KeyBytes> keys{body.key()};
    for (std::size_t i = 0; i < 6; ++i) keys.insert(body.face(i).key());
    for (std::size_t i = 0; i < 12; ++i) keys.insert(body.edge(i).key());
    for (std::size_t i = 0; i < 8; ++i) keys.insert(body.vertex(i).key());
    EXPECT_EQ(keys.size(), 27u);
    // Keys are bytes with a zero inside: code that treats them as C strings loses them.
    EXPECT_EQ(body.face(0).key().at(1), 0);

    EXPECT_EQ(body.vertex(5).position(), (Point3{10, 0, 30}));
    Point3 low, high;
    ASSERT_EQ(body.face(1).GetCorners(&low, &high), platform::kOk);  // x-high face
    EXPECT_EQ(low, (Point3{10, 0, 0}));
    EXPECT_EQ(high, (Point3{10, 20, 30}));

    // Every edge of a closed box lies between two faces, and each face has four edges.
    std::map<testhost::FakeFace*, int> edgesPerFace;
    for (std::size_t i = 0; i < 12; ++i) {
        ASSERT_EQ(body.edge(i).faces().size(), 2u);
        for (const auto& f : body.edge(i).faces()) ++edgesPerFace[f.get()];
    }
    ASSERT_EQ(edgesPerFace.size(), 6u);
    for (const auto& [face, n] : edgesPerFace) EXPECT_EQ(n, 4);
}

TEST(FakeHostGeometry, CylinderSideHasAnAxisAndTheSeamOneFace) {
    FakeHost host;
    auto& body = host.addPartSession("Shaft").addBody().addCylinder({1, 2, 0}, 5, 40);
    std::int32_t kind = 0;
    ASSERT_EQ(body.face(0).get_SurfaceKind(&kind), platform::kOk);
    EXPECT_EQ(kind, host::kSurfaceCylinder);
    Point3 origin, direction;
    ASSERT_EQ(body.face(0).GetAxis(&origin, &direction), platform::kOk);
    EXPECT_EQ(origin, (Point3{1, 2, 0}));
    EXPECT_EQ(direction, (Point3{0, 0, 1}));
    EXPECT_LT(body.face(1).GetAxis(&origin, &direction), 0);  // a plane has no axis

    RefPtr<host::IQDEntities> faces;
    ASSERT_EQ(body.edge(2).get_Faces(faces.put()), platform::kOk);
    std::int32_t count = 0;
    ASSERT_EQ(faces->get_Count(&count), platform::kOk);
    EXPECT_EQ(count, 1);
}

TEST(FakeHostGeometry, FindEntityNeedsTheRightBodyInParts) {
    FakeHost host;
    auto& part = host.addPartSession("Pair");
    auto& first = part.addBody().addBox({0, 0, 0}, {1, 1, 1});
    auto& second = part.addBody().addBox({2, 0, 0}, {3, 1, 1});
    RefPtr<host::IQDEntity> found;
    ASSERT_EQ(part.FindEntity(second.key(), second.edge(3).key(), found.put()), platform::kOk);
    EXPECT_EQ(found.get(), static_cast<host::IQDEntity*>(&second.edge(3)));
    EXPECT_LT(part.FindEntity(first.key(), second.edge(3).key(), found.put()), 0);
    EXPECT_FALSE(found);
    // The design-session lookup (assemblies) searches by entity key alone.
    ASSERT_EQ(part.FindEntity(second.vertex(7).key(), found.put()), platform::kOk);
    EXPECT_TRUE(found.query<host::IQDVertex>());
    EXPECT_FALSE(found.query<host::IQDFace>());
}

TEST(FakeHostSession, DesignPointsAreNumberedFromOne) {
    FakeHost host;
    auto& part = host.addPartSession("Bracket");
    part.addDesignPoint({1, 2, 3});
    auto& second = part.addDesignPoint({4, 5, 6});
    EXPECT_EQ(second.number(), 2);
    Point3 p;
    ASSERT_EQ(part.GetDesignPoint(1, &p), platform::kOk);
    EXPECT_EQ(p, (Point3{1, 2, 3}));
    EXPECT_LT(part.GetDesignPoint(0, &p), 0);
    EXPECT_LT(part.GetDesignPoint(3, &p), 0);
}

TEST(FakeHostSession, BoundingBoxFollowsTheBodiesUnlessSet) {
    FakeHost host;
    auto& part = host.addPartSession("Pair");
    part.addBody().addBox({-1, 0, 0}, {1, 1, 1});
    part.addBody().addBox({0, 0, 0}, {3, 4, 5});
    Point3 low, high;
    ASSERT_EQ(part.GetBoundingBox(&low, &high), platform::kOk);
    EXPECT_EQ(low, (Point3{-1, 0, 0}));
    EXPECT_EQ(high, (Point3{3, 4, 5}));
    part.setBoundingBox({0, 0, 0}, {100, 0, 0});
    ASSERT_EQ(part.GetBoundingBox(&low, &high), platform::kOk);
    EXPECT_EQ(high, (Point3{100, 0, 0}));
}

TEST(FakeHostSession, StepExportRecordsPathsAndWritesAFile) {
    FakeHost host;
    auto& part = host.addPartSession("Bracket");
    ScratchFolder dir;
    const std::string path = dir.file("dump.stp");
    std::int32_t result = -7;
    ASSERT_EQ(part.ExportStep(path, &result), platform::kOk);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readFile(path).rfind("ISO-10303-21;\n", 0), 0u);

    ASSERT_EQ(part.ExportStep(dir.file("missing/dump.stp"), &result), platform::kOk);
    EXPECT_EQ(result, 1);  // the folder does not exist
    part.setExportResult(3);
    ASSERT_EQ(part.ExportStep(path, &result), platform::kOk);
    EXPECT_EQ(result, 3);
    EXPECT_EQ(part.exportedPaths().size(), 3u);
    EXPECT_EQ(part.exportedPaths()[0], path);
}

TEST(FakeHostFailures, FailNextFailsOneCallAnywhere) {
    FakeHost host;
    host.addPartSession("Bracket");
    host.failNext("IQDSessions::Item", platform::kOutOfMemory);
    try {
        lookUp(host, "Bracket");
        FAIL() << "the planned failure did not happen";
    } catch (const platform::HostError& e) {
        EXPECT_EQ(e.status(), platform::kOutOfMemory);
        EXPECT_EQ(e.interfaceName(), "IQDSessions");
    }
    EXPECT_TRUE(lookUp(host, "Bracket"));
    EXPECT_EQ(host.callCount("IQDSessions::Item"), 2);
}

TEST(FakeHostFailures, FailAfterLetsCallsPassFirst) {
    FakeHost host;
    auto& body = host.addPartSession("Bracket").addBody().addBox({0, 0, 0}, {1, 1, 1});
    host.failAfter("IQDEntity::get_Key", 2);
    host::KeyBytes key;
    EXPECT_EQ(body.face(0).get_Key(&key), platform::kOk);
    EXPECT_EQ(body.edge(0).get_Key(&key), platform::kOk);
    EXPECT_LT(body.vertex(0).get_Key(&key), 0);
    EXPECT_EQ(body.face(0).get_Key(&key), platform::kOk);
}

TEST(FakeHostFailures, PerObjectFailuresStayUntilStopped) {
    FakeHost host;
    auto& body = host.addPartSession("Bracket").addBody().addBox({0, 0, 0}, {1, 1, 1});
    body.face(2).failOn("IQDEntity::GetCorners");
    Point3 low, high;
    EXPECT_LT(body.face(2).GetCorners(&low, &high), 0);
    EXPECT_LT(body.face(2).GetCorners(&low, &high), 0);
    EXPECT_EQ(body.face(3).GetCorners(&low, &high), platform::kOk);
    body.face(2).stopFailing("IQDEntity::GetCorners");
    EXPECT_EQ(body.face(2).GetCorners(&low, &high), platform::kOk);

    host.failAlways("IQDBody::get_Faces");
    RefPtr<host::IQDEntities> faces;
    EXPECT_LT(body.get_Faces(faces.put()), 0);
    EXPECT_LT(body.get_Faces(faces.put()), 0);
    host.clearFailures();
    EXPECT_EQ(body.get_Faces(faces.put()), platform::kOk);
}

TEST(FakeHostFailures, MisspeltOperationNamesAreRefused) {
    FakeHost host;
    auto& part = host.addPartSession("Bracket");
    EXPECT_THROW(host.failNext("IQDSessions::item"), std::invalid_argument);
    EXPECT_THROW(part.failOn("GetBodies"), std::invalid_argument);
}

TEST(FakeHostFailures, TheSharedBoundingBoxFailsUnderEitherName) {
    FakeHost host;
    auto& part = host.addPartSession("Bracket");
    Point3 low, high;
    host.failNext("IQDPartSession::GetBoundingBox");
    EXPECT_LT(part.GetBoundingBox(&low, &high), 0);
    host.failNext("IQDDesignSession::GetBoundingBox");
    EXPECT_LT(part.GetBoundingBox(&low, &high), 0);
    EXPECT_EQ(part.GetBoundingBox(&low, &high), platform::kOk);
}

TEST(FakeHostHook, GivesTheRootOrNothing) {
    FakeHost host;
    RefPtr<platform::IUnknown> root;
    ASSERT_EQ(host.hook()->GetRoot(root.put()), platform::kOk);
    EXPECT_TRUE(root.query<host::IQDRoot>());
    host.root().refuseInterface("IQDRoot");
    EXPECT_FALSE(root.query<host::IQDRoot>());
    host.hookObject().setRoot(nullptr);
    ASSERT_EQ(host.hook()->GetRoot(root.put()), platform::kOk);
    EXPECT_FALSE(root);
}

}  // namespace
