#include "addon_base/picked_entity.h"

#include "addon_base/host_access.h"
#include "platform/host_error.h"

namespace addon {

using platform::check;
using platform::RefPtr;

namespace {

// The body's list of entities of the same sort as the picked one.
RefPtr<host::IQDEntities> entitiesOfSort(host::IQDBody& body, PickKind kind) {
    RefPtr<host::IQDEntities> list;
    switch (kind) {
        case PickKind::Face:
            check(body.get_Faces(list.put()), host::IQDBody::iid);
            break;
        case PickKind::Edge:
            check(body.get_Edges(list.put()), host::IQDBody::iid);
            break;
        default:
            check(body.get_Vertices(list.put()), host::IQDBody::iid);
            break;
    }
    platform::require(list, host::IQDEntities::iid);
    return list;
}

// Position of the entity with `key` among `list`, in the host's order; -1 when absent.
int indexOfKey(host::IQDEntities& list, const host::KeyBytes& key) {
    std::int32_t count = 0;
    check(list.get_Count(&count), host::IQDEntities::iid);
    for (std::int32_t i = 0; i < count; ++i) {
        RefPtr<host::IQDEntity> entity;
        check(list.Item(i, entity.put()), host::IQDEntities::iid);
        platform::require(entity, host::IQDEntities::iid);
        host::KeyBytes other;
        check(entity->get_Key(&other), host::IQDEntity::iid);
        if (other == key) return i;
    }
    return -1;
}

PickKind entityKind(const RefPtr<platform::IUnknown>& object) {
    if (object.query<host::IQDFace>()) return PickKind::Face;
    if (object.query<host::IQDEdge>()) return PickKind::Edge;
    if (object.query<host::IQDVertex>()) return PickKind::Vertex;
    return PickKind::None;
}

void readEntity(PickedEntity& pick, host::IQDEntity& entity, bool partSession) {
    check(entity.get_Key(&pick.entityKey), host::IQDEntity::iid);
    RefPtr<host::IQDBody> body;
    check(entity.get_Body(body.put()), host::IQDEntity::iid);
    platform::require(body, host::IQDEntity::iid);
    if (partSession) check(body->get_Key(&pick.bodyKey), host::IQDBody::iid);
    pick.index = indexOfKey(*entitiesOfSort(*body, pick.kind), pick.entityKey);
}

PickedEntity classifyObject(const RefPtr<platform::IUnknown>& object, bool partSession) {
    PickedEntity pick;
    if (const PickKind kind = entityKind(object); kind != PickKind::None) {
        pick.kind = kind;
        readEntity(pick, *object.require<host::IQDEntity>(), partSession);
        if (kind == PickKind::Face) pick.face = object.query<host::IQDFace>();
    } else if (auto point = object.query<host::IQDDesignPoint>()) {
        pick.kind = PickKind::DesignPoint;
        check(point->get_Number(&pick.pointNumber), host::IQDDesignPoint::iid);
        pick.index = pick.pointNumber - 1;
    } else if (auto plane = object.query<host::IQDPlane>()) {
        pick.kind = PickKind::Plane;
        pick.plane = plane;
        pick.index = 0;
    }
    return pick;
}

RefPtr<platform::IUnknown> geometricObject(host::IQDPickedObject& picked) {
    RefPtr<platform::IUnknown> object;
    check(picked.get_Object(object.put()), host::IQDPickedObject::iid);
    return object;
}

}  // namespace

PickedEntity classifyPick(host::IQDPickedObject* picked, bool partSession) {
    if (picked == nullptr) return {};
    try {
        return classifyObject(geometricObject(*picked), partSession);
    } catch (const platform::HostError&) {
        return {};
    }
}

PickedSelection PickedSelection::of(const std::string& sessionName, std::int32_t filter) {
    PickedSelection out;
    auto session = findSession(sessionName);
    check(session->get_Selection(out.selection_.put()), host::IQDSession::iid);
    platform::require(out.selection_, host::IQDSession::iid);
    std::int32_t count = 0;
    check(out.selection_->get_Count(filter, &count), host::IQDSelection::iid);
    out.count_ = count < 1 ? 0 : count;
    return out;
}

RefPtr<host::IQDPickedObject> PickedSelection::item(int index) const {
    RefPtr<host::IQDPickedObject> picked;
    if (platform::failed(selection_->Item(index, picked.put()))) return {};
    return picked;
}

PickedEntity PickedSelection::classify(int index, bool partSession) const {
    return classifyPick(item(index).get(), partSession);
}

RefPtr<host::IQDPlane> PickedSelection::firstPlane() const {
    for (int i = 0; i < count_; ++i) {
        auto picked = item(i);
        if (!picked) continue;
        RefPtr<platform::IUnknown> object;
        if (platform::failed(picked->get_Object(object.put()))) continue;
        if (auto plane = object.query<host::IQDPlane>()) return plane;
    }
    return {};
}

void PickedSelection::resetAndHandBack() const {
    check(selection_->Reset(), host::IQDSelection::iid);
    check(selection_->HandBack(), host::IQDSelection::iid);
}

PlaneValues readPlaneValues(host::IQDPlane& plane) {
    RefPtr<host::IQDPlaneValues> values;
    check(plane.get_Values(values.put()), host::IQDPlane::iid);
    platform::require(values, host::IQDPlane::iid);
    PlaneValues out;
    check(values->get_A(&out.a), host::IQDPlaneValues::iid);
    check(values->get_B(&out.b), host::IQDPlaneValues::iid);
    check(values->get_C(&out.c), host::IQDPlaneValues::iid);
    return out;
}

}  // namespace addon
