#pragma once
// Bodies and their faces, edges and vertices, each with its own persistent key. Builders make
// the common shapes in one call: addBox gives 6 faces, 12 edges and 8 vertices.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"
#include "support/fake_object.h"

namespace testhost {

using host::KeyBytes;
using host::Point3;
using platform::RefPtr;

class FakeBody;

// The body an entity belongs to, or null once the body is gone (entities can outlive it).
using BodyHandle = std::shared_ptr<FakeBody*>;

// What faces, edges and vertices share: key, body and box.
template <typename I>
class FakeEntityOf : public FakeDispatch<I> {
  public:
    FakeEntityOf(std::shared_ptr<HostState> state, KeyBytes key, BodyHandle body, Point3 low, Point3 high)
        : FakeDispatch<I>(std::move(state)),
          key_(std::move(key)),
          body_(std::move(body)),
          low_(low),
          high_(high) {}

    const KeyBytes& key() const { return key_; }
    FakeBody* body() const { return body_ ? *body_ : nullptr; }
    Point3 low() const { return low_; }
    Point3 high() const { return high_; }

    Status get_Key(KeyBytes* key) override { return this->answer("IQDEntity::get_Key", key, key_); }
    Status get_Body(host::IQDBody** body) override;
    Status GetCorners(Point3* low, Point3* high) override;

  private:
    KeyBytes key_;
    BodyHandle body_;
    Point3 low_;
    Point3 high_;
};

class FakeFace : public FakeEntityOf<host::IQDFace> {
  public:
    using FakeEntityOf::FakeEntityOf;

    FakeFace& setSurfaceKind(std::int32_t kind);
    // Gives the face an axis (cylinders, cones, surfaces of revolution); without one GetAxis fails.
    FakeFace& setAxis(Point3 origin, Point3 direction);

    Status get_SurfaceKind(std::int32_t* kind) override {
        return answer("IQDFace::get_SurfaceKind", kind, surfaceKind_);
    }
    Status GetAxis(Point3* origin, Point3* direction) override;

  private:
    std::int32_t surfaceKind_ = host::kSurfacePlane;
    std::optional<std::pair<Point3, Point3>> axis_;
};

class FakeEdge : public FakeEntityOf<host::IQDEdge> {
  public:
    FakeEdge(std::shared_ptr<HostState> state, KeyBytes key, BodyHandle body, Point3 low, Point3 high,
             std::vector<RefPtr<FakeFace>> faces);

    const std::vector<RefPtr<FakeFace>>& faces() const { return faces_; }

    Status get_Faces(host::IQDEntities** faces) override;

  private:
    std::vector<RefPtr<FakeFace>> faces_;
};

class FakeVertex : public FakeEntityOf<host::IQDVertex> {
  public:
    FakeVertex(std::shared_ptr<HostState> state, KeyBytes key, BodyHandle body, Point3 position);

    Point3 position() const { return low(); }

    Status GetPoint(Point3* position) override { return answer("IQDVertex::GetPoint", position, low()); }
};

// A list of entities as the host hands it out, indexed from 0.
class FakeEntities : public FakeDispatch<host::IQDEntities> {
  public:
    using Fake::Fake;

    void add(RefPtr<host::IQDEntity> entity) { items_.push_back(std::move(entity)); }
    std::int32_t size() const { return static_cast<std::int32_t>(items_.size()); }

    Status get_Count(std::int32_t* count) override { return answer("IQDEntities::get_Count", count, size()); }
    Status Item(std::int32_t index, host::IQDEntity** entity) override;

  private:
    std::vector<RefPtr<host::IQDEntity>> items_;
};

class FakeBody : public FakeDispatch<host::IQDBody> {
  public:
    explicit FakeBody(std::shared_ptr<HostState> state);
    ~FakeBody() override;

    const KeyBytes& key() const { return key_; }

    FakeFace& addFace(Point3 low, Point3 high, std::int32_t surfaceKind = host::kSurfacePlane);
    // An edge from `a` to `b` between `faces` (any number: a seam lies on one face twice).
    FakeEdge& addEdge(Point3 a, Point3 b, std::vector<FakeFace*> faces);
    FakeVertex& addVertex(Point3 position);

    // An axis-aligned box. Faces in the order x-low, x-high, y-low, y-high, z-low, z-high;
    // vertex i has the high x when bit 0 of i is set, the high y for bit 1, the high z for bit 2;
    // edges: the four along x, then the four along y, then the four along z, each between the
    // two faces it joins.
    FakeBody& addBox(Point3 low, Point3 high);
    // A cylinder standing on `base` along +z: faces side (kind cylinder, axis through `base`),
    // bottom, top; edges bottom circle (side, bottom), top circle (side, top) and the seam, which
    // touches the side face only; vertices at the seam's two ends.
    FakeBody& addCylinder(Point3 base, double radius, double height);

    FakeFace& face(std::size_t i) const { return *faces_.at(i); }
    FakeEdge& edge(std::size_t i) const { return *edges_.at(i); }
    FakeVertex& vertex(std::size_t i) const { return *vertices_.at(i); }
    std::size_t faceCount() const { return faces_.size(); }
    std::size_t edgeCount() const { return edges_.size(); }
    std::size_t vertexCount() const { return vertices_.size(); }

    // The face, edge or vertex with `key`, or null.
    host::IQDEntity* findEntity(const KeyBytes& key) const;

    Status get_Key(KeyBytes* key) override { return answer("IQDBody::get_Key", key, key_); }
    Status get_Faces(host::IQDEntities** faces) override {
        return answerObject("IQDBody::get_Faces", faceList_.get(), faces);
    }
    Status get_Edges(host::IQDEntities** edges) override {
        return answerObject("IQDBody::get_Edges", edgeList_.get(), edges);
    }
    Status get_Vertices(host::IQDEntities** vertices) override {
        return answerObject("IQDBody::get_Vertices", vertexList_.get(), vertices);
    }

  private:
    KeyBytes key_;
    BodyHandle handle_;
    std::vector<RefPtr<FakeFace>> faces_;
    std::vector<RefPtr<FakeEdge>> edges_;
    std::vector<RefPtr<FakeVertex>> vertices_;
    RefPtr<FakeEntities> faceList_;
    RefPtr<FakeEntities> edgeList_;
    RefPtr<FakeEntities> vertexList_;
};

// The bodies of a part, indexed from 0.
class FakeBodies : public FakeDispatch<host::IQDBodies> {
  public:
    using Fake::Fake;

    FakeBody& add();
    std::size_t size() const { return bodies_.size(); }
    FakeBody& at(std::size_t i) const { return *bodies_.at(i); }

    Status get_Count(std::int32_t* count) override {
        return answer("IQDBodies::get_Count", count, static_cast<std::int32_t>(bodies_.size()));
    }
    Status Item(std::int32_t index, host::IQDBody** body) override;

  private:
    std::vector<RefPtr<FakeBody>> bodies_;
};

// The smallest box holding both corner points.
void widenBox(Point3& low, Point3& high, const Point3& p);

}  // namespace testhost
