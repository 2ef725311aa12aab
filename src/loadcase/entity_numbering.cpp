#include "loadcase/entity_numbering.h"

#include "platform/host_error.h"

namespace loadcase {

using platform::check;
using platform::HostError;
using platform::RefPtr;

namespace {

RefPtr<host::IQDEntities> entitiesOf(const RefPtr<host::IQDBody>& body, EntitySort sort) {
    RefPtr<host::IQDEntities> list;
    switch (sort) {
        case EntitySort::Face:
            check(body->get_Faces(list.put()), host::IQDBody::iid);
            break;
        case EntitySort::Edge:
            check(body->get_Edges(list.put()), host::IQDBody::iid);
            break;
        case EntitySort::Vertex:
            check(body->get_Vertices(list.put()), host::IQDBody::iid);
            break;
    }
    platform::require(list, host::IQDEntities::iid);
    return list;
}

std::int32_t countOf(const RefPtr<host::IQDBody>& body, EntitySort sort) {
    std::int32_t n = 0;
    check(entitiesOf(body, sort)->get_Count(&n), host::IQDEntities::iid);
    return n;
}

// Position from 0 of the entity with `key` in `list`; -1 when absent.
std::int32_t indexOf(const RefPtr<host::IQDEntities>& list, const host::KeyBytes& key) {
    std::int32_t n = 0;
    check(list->get_Count(&n), host::IQDEntities::iid);
    for (std::int32_t i = 0; i < n; ++i) {
        RefPtr<host::IQDEntity> e;
        check(list->Item(i, e.put()), host::IQDEntities::iid);
        host::KeyBytes k;
        check(e->get_Key(&k), host::IQDEntity::iid);
        if (k == key) return i;
    }
    return -1;
}

}  // namespace

EntityNumbering::EntityNumbering(const RefPtr<host::IQDPartSession>& part) : part_(part) {
    platform::require(part_, host::IQDPartSession::iid);
    RefPtr<host::IQDBodies> bodies;
    check(part_->GetBodies(bodies.put()), host::IQDPartSession::iid);
    platform::require(bodies, host::IQDBodies::iid);
    std::int32_t n = 0;
    check(bodies->get_Count(&n), host::IQDBodies::iid);
    BodyTotals running;
    for (std::int32_t i = 0; i < n; ++i) {
        RefPtr<host::IQDBody> body;
        check(bodies->Item(i, body.put()), host::IQDBodies::iid);
        platform::require(body, host::IQDBody::iid);
        host::KeyBytes key;
        check(body->get_Key(&key), host::IQDBody::iid);
        running.faces += countOf(body, EntitySort::Face);
        running.edges += countOf(body, EntitySort::Edge);
        running.vertices += countOf(body, EntitySort::Vertex);
        bodies_.push_back(body);
        bodyKeys_.push_back(std::move(key));
        totals_.push_back(running);
    }
}

EntityNumbering::EntityNumbering(const RefPtr<host::IQDDesignSession>& design) : design_(design) {
    platform::require(design_, host::IQDDesignSession::iid);
}

std::int32_t EntityNumbering::bodyNumber(const host::KeyBytes& bodyKey) const {
    if (!part_) return 1;
    for (std::size_t i = 0; i < bodyKeys_.size(); ++i) {
        if (bodyKeys_[i] == bodyKey) return static_cast<std::int32_t>(i) + 1;
    }
    throw HostError(platform::kFail, host::IQDBodies::iid);
}

RefPtr<host::IQDEntity> EntityNumbering::find(const host::KeyBytes& bodyKey,
                                              const host::KeyBytes& entityKey) const {
    RefPtr<host::IQDEntity> entity;
    if (part_) {
        check(part_->FindEntity(bodyKey, entityKey, entity.put()), host::IQDPartSession::iid);
    } else {
        check(design_->FindEntity(entityKey, entity.put()), host::IQDDesignSession::iid);
    }
    platform::require(entity, host::IQDEntity::iid);
    return entity;
}

std::int32_t EntityNumbering::bodyIndexOf(const RefPtr<host::IQDBody>& body) const {
    host::KeyBytes key;
    check(body->get_Key(&key), host::IQDBody::iid);
    for (std::size_t i = 0; i < bodyKeys_.size(); ++i) {
        if (bodyKeys_[i] == key) return static_cast<std::int32_t>(i);
    }
    throw HostError(platform::kFail, host::IQDBodies::iid);
}

std::int32_t EntityNumbering::numberIn(const RefPtr<host::IQDBody>& body, std::int32_t bodyIndex,
                                       EntitySort sort, const host::KeyBytes& key) const {
    const std::int32_t index = indexOf(entitiesOf(body, sort), key);
    if (index < 0) throw HostError(platform::kFail, host::IQDEntities::iid);
    if (bodyIndex <= 0) return index + 1;
    const BodyTotals& before = totals_[bodyIndex - 1];
    const std::int32_t offset = sort == EntitySort::Face   ? before.faces
                                : sort == EntitySort::Edge ? before.edges
                                                           : before.vertices;
    return offset + index + 1;
}

std::int32_t EntityNumbering::number(EntitySort sort, const host::KeyBytes& bodyKey,
                                     const host::KeyBytes& entityKey) const {
    if (part_) {
        const std::int32_t b = bodyNumber(bodyKey) - 1;
        return numberIn(bodies_[b], b, sort, entityKey);
    }
    RefPtr<host::IQDBody> body;
    check(find(bodyKey, entityKey)->get_Body(body.put()), host::IQDEntity::iid);
    platform::require(body, host::IQDBody::iid);
    return numberIn(body, 0, sort, entityKey);
}

std::optional<std::pair<std::int32_t, std::int32_t>> EntityNumbering::edgeFaces(
    const host::KeyBytes& bodyKey, const host::KeyBytes& edgeKey) const {
    auto edge = find(bodyKey, edgeKey).require<host::IQDEdge>();
    RefPtr<host::IQDEntities> faces;
    check(edge->get_Faces(faces.put()), host::IQDEdge::iid);
    platform::require(faces, host::IQDEntities::iid);
    std::int32_t n = 0;
    check(faces->get_Count(&n), host::IQDEntities::iid);
    if (n != 2) return std::nullopt;
    RefPtr<host::IQDBody> body;
    check(edge->get_Body(body.put()), host::IQDEntity::iid);
    platform::require(body, host::IQDBody::iid);
    const std::int32_t b = part_ ? bodyIndexOf(body) : 0;
    std::int32_t numbers[2];
    for (std::int32_t i = 0; i < 2; ++i) {
        RefPtr<host::IQDEntity> face;
        check(faces->Item(i, face.put()), host::IQDEntities::iid);
        host::KeyBytes key;
        check(face->get_Key(&key), host::IQDEntity::iid);
        numbers[i] = numberIn(body, b, EntitySort::Face, key);
    }
    return std::make_pair(numbers[0], numbers[1]);
}

}  // namespace loadcase
