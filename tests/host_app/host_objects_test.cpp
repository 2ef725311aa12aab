// The host's automation objects on an OpenCASCADE document, as the add-on reaches them.
#include <gtest/gtest.h>

#include "documents/failure_plan.h"
#include "documents/host_session.h"
#include "platform/ref_ptr.h"
#include "sample_parts.h"

namespace {

using hostapp::HostSession;
using hostapp::OcctDocument;
using platform::RefPtr;

RefPtr<HostSession> openSession(const std::string& name, bool assembly) {
    hostapp::SessionOptions options;
    options.assembly = assembly;
    options.displayUnit = host::kUnitCm;
    return platform::makeRef<HostSession>("two_solids", OcctDocument::open(samplePath(name)), options);
}

RefPtr<host::IQDEntity> face(const RefPtr<host::IQDPartSession>& part, int body, int index) {
    RefPtr<host::IQDBodies> bodies;
    EXPECT_EQ(part->GetBodies(bodies.put()), platform::kOk);
    RefPtr<host::IQDBody> b;
    EXPECT_EQ(bodies->Item(body, b.put()), platform::kOk);
    RefPtr<host::IQDEntities> faces;
    EXPECT_EQ(b->get_Faces(faces.put()), platform::kOk);
    RefPtr<host::IQDEntity> f;
    EXPECT_EQ(faces->Item(index, f.put()), platform::kOk);
    return f;
}

TEST(HostObjects, PartSessionOffersPartAndDesignInterfacesButNoAssembly) {
    // The kinds the sessions answer are the two-body session test's and the assembly sample's.
    auto session = openSession("two_solids.step", false);
    EXPECT_TRUE(session.query<host::IQDPartSession>());
    EXPECT_TRUE(session.query<host::IQDDesignSession>());
    EXPECT_FALSE(session.query<host::IQDAssemblySession>());

    auto assembly = openSession("two_solids.step", true);
    EXPECT_FALSE(assembly.query<host::IQDPartSession>());
    std::int32_t components = 0;
    assembly.require<host::IQDAssemblySession>()->get_ComponentCount(&components);
    EXPECT_EQ(components, 2);
}

template <typename T>
host::KeyBytes keyOf(const RefPtr<T>& object) {
    host::KeyBytes key{'?'};
    EXPECT_EQ(object->get_Key(&key), platform::kOk);
    return key;
}

RefPtr<host::IQDBody> bodyOf(const RefPtr<host::IQDEntity>& entity) {
    RefPtr<host::IQDBody> body;
    EXPECT_EQ(entity->get_Body(body.put()), platform::kOk);
    return body;
}

TEST(HostObjects, EntitiesAreFoundAgainByTheirKeys) {
    auto session = openSession("two_solids.step", false);
    auto part = session.require<host::IQDPartSession>();
    auto design = session.require<host::IQDDesignSession>();
    const host::KeyBytes key = keyOf(face(part, 1, 2));
    RefPtr<host::IQDEntity> found;
    ASSERT_EQ(part->FindEntity(keyOf(bodyOf(face(part, 1, 2))), key, found.put()), platform::kOk);
    EXPECT_EQ(keyOf(found), key);
    EXPECT_TRUE(found.query<host::IQDFace>());
    EXPECT_FALSE(found.query<host::IQDEdge>());

    // The other body's key does not hold this face; the design session finds it in any body.
    EXPECT_LT(part->FindEntity(keyOf(bodyOf(face(part, 0, 0))), key, found.put()), 0);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(design->FindEntity(key, found.put()), platform::kOk);
    EXPECT_LT(design->FindEntity(host::KeyBytes{'F'}, found.put()), 0);
}

// An assembly's entities in one document-wide body without a key, a part's in their own bodies:
// checked through the add-on by the session tests' two-body part and assembly and by
// SolverInput.SecondBodyContinuesTheNumbering.

// The units, the box and the design points reach the add-on's solver input (tests/loadcase);
// here the placement a part session gives and the design points outside the list.
TEST(HostObjects, TransformationAndPointsOutsideTheList) {
    auto session = openSession("two_solids.step", false);
    auto design = session.require<host::IQDDesignSession>();
    host::Transform t;
    t.m[0][3] = 5;
    session.require<host::IQDPartSession>()->GetTransformation(&t);
    EXPECT_EQ(t.apply({1, 2, 3}), (host::Point3{1, 2, 3}));

    session->addDesignPoint({4, 5, 6});
    host::Point3 p;
    ASSERT_EQ(design->GetDesignPoint(1, &p), platform::kOk);
    EXPECT_EQ(p, (host::Point3{4, 5, 6}));
    EXPECT_LT(design->GetDesignPoint(0, &p), 0);
    EXPECT_LT(design->GetDesignPoint(2, &p), 0);
}

// A named plane's values reach the add-on's interaction texts (tests/model).
TEST(HostObjects, DefaultPlanesGiveTheirNormals) {
    auto session = openSession("beam.step", false);
    auto values = [&](const std::string& name) {
        hostapp::HostPlane* plane = session->plane(name);
        EXPECT_NE(plane, nullptr);
        RefPtr<host::IQDPlaneValues> v;
        plane->get_Values(v.put());
        double a = 0, b = 0, c = 0;
        v->get_A(&a);
        v->get_B(&b);
        v->get_C(&c);
        return std::vector<double>{a, b, c};
    };
    EXPECT_EQ(values("XY"), (std::vector<double>{0, 0, 1}));
    EXPECT_EQ(values("YZ"), (std::vector<double>{1, 0, 0}));
    EXPECT_EQ(values("ZX"), (std::vector<double>{0, 1, 0}));
    EXPECT_EQ(session->plane("None"), nullptr);
}

// The selection and the sessions as the add-on reaches them are checked through its commands on the
// stand-in host: picks counted, handed out in order and reset (tests/mesh_solve/mesh_command_test,
// planes in tests/model/interactions_command_test), sessions found by name and a closed one not
// (every explorer's fixture; MeshRunFailure.ClosedDocument).

}  // namespace

// The failure plan hits the planned calls of the named operation and no other and counts from the
// calls made so far (a name the host contract does not have is refused in the session tests' bad
// lines).
TEST(HostObjects, PlannedFailuresHitOnlyThePlannedCalls) {
    auto& plan = hostapp::failurePlan();
    plan.clear();
    auto session = openSession("beam.step", false);
    const auto kindAnswers = [&](int calls) {
        std::string answers;
        for (int i = 0; i < calls; ++i) {
            std::int32_t kind = 0;
            answers += session->get_Kind(&kind) == platform::kOk ? '+' : '-';
        }
        return answers;
    };
    EXPECT_EQ(kindAnswers(2), "++");
    plan.failNext("IQDSession::get_Kind");
    plan.failNth("IQDSession::get_Kind", 3);
    plan.failNth("IQDSession::get_Kind", 3);  // the same call planned twice fails the one after
    std::int32_t units = 0;
    EXPECT_EQ(session.require<host::IQDDesignSession>()->get_ModelUnits(&units), platform::kOk);
    EXPECT_TRUE(plan.pending());
    EXPECT_EQ(kindAnswers(5), "-+--+");
    EXPECT_FALSE(plan.pending());
    EXPECT_EQ(plan.calls("IQDSession::get_Kind"), 7);
    EXPECT_EQ(plan.calls("IQDDesignSession::get_ModelUnits"), 1);

    // A box asked for through either interface counts for both names.
    host::Point3 low{}, high{};
    plan.failNext("IQDDesignSession::GetBoundingBox");
    EXPECT_EQ(session.require<host::IQDPartSession>()->GetBoundingBox(&low, &high), platform::kFail);
    EXPECT_EQ(plan.calls("IQDPartSession::GetBoundingBox"), 1);

    plan.clear();
    EXPECT_EQ(plan.calls("IQDSession::get_Kind"), 0);
}
