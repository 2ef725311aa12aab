#include "support/fake_geometry.h"

#include <algorithm>

namespace testhost {

using platform::kFail;
using platform::kInvalidPointer;
using platform::kOk;

void widenBox(Point3& low, Point3& high, const Point3& p) {
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
}

namespace {
// Box spanned by two points given in any order.
std::pair<Point3, Point3> boxOf(Point3 a, Point3 b) {
    Point3 low = a;
    Point3 high = a;
    widenBox(low, high, b);
    return {low, high};
}
}  // namespace

// ---- entities ----

template <typename I>
Status FakeEntityOf<I>::get_Body(host::IQDBody** body) {
    if (body != nullptr) *body = nullptr;
    if (const Status s = this->gate("IQDEntity::get_Body"); platform::failed(s)) return s;
    if (this->body() == nullptr) return kFail;
    return handOut(this->body(), body);
}

template <typename I>
Status FakeEntityOf<I>::GetCorners(Point3* low, Point3* high) {
    if (const Status s = this->gate("IQDEntity::GetCorners"); platform::failed(s)) return s;
    if (low == nullptr || high == nullptr) return kInvalidPointer;
    *low = low_;
    *high = high_;
    return kOk;
}

template class FakeEntityOf<host::IQDFace>;
template class FakeEntityOf<host::IQDEdge>;
template class FakeEntityOf<host::IQDVertex>;

FakeFace& FakeFace::setSurfaceKind(std::int32_t kind) {
    surfaceKind_ = kind;
    return *this;
}

FakeFace& FakeFace::setAxis(Point3 origin, Point3 direction) {
    axis_ = {origin, direction};
    return *this;
}

Status FakeFace::GetAxis(Point3* origin, Point3* direction) {
    if (const Status s = gate("IQDFace::GetAxis"); platform::failed(s)) return s;
    if (origin == nullptr || direction == nullptr) return kInvalidPointer;
    if (!axis_) return kFail;
    *origin = axis_->first;
    *direction = axis_->second;
    return kOk;
}

FakeEdge::FakeEdge(std::shared_ptr<HostState> state, KeyBytes key, BodyHandle body, Point3 low, Point3 high,
                   std::vector<RefPtr<FakeFace>> faces)
    : FakeEntityOf(std::move(state), std::move(key), std::move(body), low, high), faces_(std::move(faces)) {}

Status FakeEdge::get_Faces(host::IQDEntities** faces) {
    if (faces != nullptr) *faces = nullptr;
    if (const Status s = gate("IQDEdge::get_Faces"); platform::failed(s)) return s;
    auto list = platform::makeRef<FakeEntities>(sharedState());
    for (const auto& face : faces_) list->add(face);
    return handOut(list.get(), faces);
}

FakeVertex::FakeVertex(std::shared_ptr<HostState> state, KeyBytes key, BodyHandle body, Point3 position)
    : FakeEntityOf(std::move(state), std::move(key), std::move(body), position, position) {}

Status FakeEntities::Item(std::int32_t index, host::IQDEntity** entity) {
    if (entity != nullptr) *entity = nullptr;
    if (const Status s = gate("IQDEntities::Item"); platform::failed(s)) return s;
    if (index < 0 || index >= size()) return kFail;
    return handOut(items_[static_cast<std::size_t>(index)].get(), entity);
}

// ---- bodies ----

FakeBody::FakeBody(std::shared_ptr<HostState> state)
    : Fake(std::move(state)),
      key_(this->state().newKey('B')),
      handle_(std::make_shared<FakeBody*>(this)),
      faceList_(platform::makeRef<FakeEntities>(sharedState())),
      edgeList_(platform::makeRef<FakeEntities>(sharedState())),
      vertexList_(platform::makeRef<FakeEntities>(sharedState())) {}

FakeBody::~FakeBody() {
    *handle_ = nullptr;
}

FakeFace& FakeBody::addFace(Point3 low, Point3 high, std::int32_t surfaceKind) {
    const auto [lo, hi] = boxOf(low, high);
    auto face = platform::makeRef<FakeFace>(sharedState(), state().newKey('F'), handle_, lo, hi);
    face->setSurfaceKind(surfaceKind);
    faces_.push_back(face);
    faceList_->add(face);
    return *face;
}

FakeEdge& FakeBody::addEdge(Point3 a, Point3 b, std::vector<FakeFace*> faces) {
    const auto [lo, hi] = boxOf(a, b);
    std::vector<RefPtr<FakeFace>> held;
    for (FakeFace* f : faces) held.emplace_back(f);
    auto edge =
        platform::makeRef<FakeEdge>(sharedState(), state().newKey('E'), handle_, lo, hi, std::move(held));
    edges_.push_back(edge);
    edgeList_->add(edge);
    return *edge;
}

FakeVertex& FakeBody::addVertex(Point3 position) {
    auto vertex = platform::makeRef<FakeVertex>(sharedState(), state().newKey('V'), handle_, position);
    vertices_.push_back(vertex);
    vertexList_->add(vertex);
    return *vertex;
}

FakeBody& FakeBody::addBox(Point3 low, Point3 high) {
    auto corner = [&](int i) {
        return Point3{(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y, (i & 4) ? high.z : low.z};
    };
    FakeFace& xLow = addFace(corner(0), corner(6));
    FakeFace& xHigh = addFace(corner(1), corner(7));
    FakeFace& yLow = addFace(corner(0), corner(5));
    FakeFace& yHigh = addFace(corner(2), corner(7));
    FakeFace& zLow = addFace(corner(0), corner(3));
    FakeFace& zHigh = addFace(corner(4), corner(7));
    FakeFace* ySide[2] = {&yLow, &yHigh};
    FakeFace* zSide[2] = {&zLow, &zHigh};
    FakeFace* xSide[2] = {&xLow, &xHigh};
    // Along x: corners differing in bit 0; the edge lies on one y face and one z face.
    for (int j = 0; j < 4; ++j) {
        const int y = j & 1, z = j >> 1;
        addEdge(corner(2 * y + 4 * z), corner(1 + 2 * y + 4 * z), {ySide[y], zSide[z]});
    }
    for (int j = 0; j < 4; ++j) {
        const int x = j & 1, z = j >> 1;
        addEdge(corner(x + 4 * z), corner(x + 2 + 4 * z), {xSide[x], zSide[z]});
    }
    for (int j = 0; j < 4; ++j) {
        const int x = j & 1, y = j >> 1;
        addEdge(corner(x + 2 * y), corner(x + 2 * y + 4), {xSide[x], ySide[y]});
    }
    for (int i = 0; i < 8; ++i) addVertex(corner(i));
    return *this;
}

FakeBody& FakeBody::addCylinder(Point3 base, double radius, double height) {
    const Point3 low{base.x - radius, base.y - radius, base.z};
    const Point3 high{base.x + radius, base.y + radius, base.z + height};
    const Point3 bottomRimLow{low.x, low.y, base.z}, bottomRimHigh{high.x, high.y, base.z};
    const Point3 topRimLow{low.x, low.y, high.z}, topRimHigh{high.x, high.y, high.z};
    FakeFace& side = addFace(low, high, host::kSurfaceCylinder);
    side.setAxis(base, {0, 0, 1});
    FakeFace& bottom = addFace(bottomRimLow, bottomRimHigh);
    FakeFace& top = addFace(topRimLow, topRimHigh);
    addEdge(bottomRimLow, bottomRimHigh, {&side, &bottom});
    addEdge(topRimLow, topRimHigh, {&side, &top});
    const Point3 seamBottom{base.x + radius, base.y, base.z};
    const Point3 seamTop{base.x + radius, base.y, high.z};
    addEdge(seamBottom, seamTop, {&side});
    addVertex(seamBottom);
    addVertex(seamTop);
    return *this;
}

namespace {
template <typename List>
int positionOf(const List& list, const KeyBytes& key) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i]->key() == key) return static_cast<int>(i);
    }
    return -1;
}
}  // namespace

host::IQDEntity* FakeBody::findEntity(const KeyBytes& key) const {
    if (int i = positionOf(faces_, key); i >= 0) return faces_[static_cast<std::size_t>(i)].get();
    if (int i = positionOf(edges_, key); i >= 0) return edges_[static_cast<std::size_t>(i)].get();
    if (int i = positionOf(vertices_, key); i >= 0) return vertices_[static_cast<std::size_t>(i)].get();
    return nullptr;
}

FakeBody& FakeBodies::add() {
    auto body = platform::makeRef<FakeBody>(sharedState());
    bodies_.push_back(body);
    return *body;
}

Status FakeBodies::Item(std::int32_t index, host::IQDBody** body) {
    if (body != nullptr) *body = nullptr;
    if (const Status s = gate("IQDBodies::Item"); platform::failed(s)) return s;
    if (index < 0 || static_cast<std::size_t>(index) >= bodies_.size()) return kFail;
    return handOut(bodies_[static_cast<std::size_t>(index)].get(), body);
}

}  // namespace testhost
