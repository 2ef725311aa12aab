#pragma once
// Numbers of the host's faces, edges and vertices as the solver input refers to them: bodies in
// the host's order from 1; within a body each sort from 1 in the host's order, continuing over
// the bodies (the first face of a second body after a 6-face first body is 7).
#include <cstdint>
#include <optional>
#include <vector>

#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

namespace loadcase {

enum class EntitySort { Face, Edge, Vertex };

// Running totals through one body: faces, edges and vertices of it and of all bodies before it.
struct BodyTotals {
    std::int32_t faces = 0;
    std::int32_t edges = 0;
    std::int32_t vertices = 0;
};

class EntityNumbering {
  public:
    // Counts the bodies of a part session. Throws HostError when a body cannot be read.
    explicit EntityNumbering(const platform::RefPtr<host::IQDPartSession>& part);
    // An assembly: entities are found by key through the design session, all in body 1.
    explicit EntityNumbering(const platform::RefPtr<host::IQDDesignSession>& design);

    const std::vector<BodyTotals>& totals() const { return totals_; }
    bool isPart() const { return static_cast<bool>(part_); }

    // The body number of `bodyKey` (1 in an assembly); throws HostError when it is not found.
    std::int32_t bodyNumber(const host::KeyBytes& bodyKey) const;
    // The entity of the keys; throws HostError when the host cannot find it.
    platform::RefPtr<host::IQDEntity> find(const host::KeyBytes& bodyKey,
                                           const host::KeyBytes& entityKey) const;
    // The solver's number of the entity of sort `sort` with these keys; throws HostError when the
    // host cannot find it.
    std::int32_t number(EntitySort sort, const host::KeyBytes& bodyKey,
                        const host::KeyBytes& entityKey) const;
    // The numbers of the (exactly two) faces that meet at an edge, or nothing when the host
    // reports another count.
    std::optional<std::pair<std::int32_t, std::int32_t>> edgeFaces(const host::KeyBytes& bodyKey,
                                                                   const host::KeyBytes& edgeKey) const;

  private:
    std::int32_t bodyIndexOf(const platform::RefPtr<host::IQDBody>& body) const;
    std::int32_t numberIn(const platform::RefPtr<host::IQDBody>& body, std::int32_t bodyIndex,
                          EntitySort sort, const host::KeyBytes& key) const;

    platform::RefPtr<host::IQDPartSession> part_;
    platform::RefPtr<host::IQDDesignSession> design_;
    std::vector<platform::RefPtr<host::IQDBody>> bodies_;
    std::vector<host::KeyBytes> bodyKeys_;
    std::vector<BodyTotals> totals_;
};

}  // namespace loadcase
