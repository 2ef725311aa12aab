#pragma once
// The stand-in host's real objects as the add-on's tests drive them: a root with its sessions on
// OpenCASCADE documents, the hook AddOnLoad takes, command sites on a fixed view, and the host's
// failure plan.
//
//   testhost::StandInHost host;
//   testhost::Part& part = host.addPartSession("Bracket", testhost::partOf({testhost::box({0, 0, 0}, {10, 20,
//   30})})); part.selection().select(part.body(0).face(2)); host.failNext("IQDSessions::Item");
//   ... hand host.hook() to AddOnLoad, drive the add-on, then look at the files, the messages
//   and what the host's objects were asked: part.selection().filters(), site->calls() ...
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <TopoDS_Shape.hxx>

#include "documents/failure_plan.h"
#include "documents/host_geometry.h"
#include "documents/host_root.h"
#include "documents/host_session.h"
#include "program/command_site.h"

namespace testhost {

// Solids built in memory: an axis-aligned box between two corners, a cylinder standing on `base`
// along +z.
TopoDS_Shape box(host::Point3 low, host::Point3 high);
TopoDS_Shape cylinder(host::Point3 base, double radius, double height);
// A document of these solids, one body each, in order.
hostapp::DocumentPtr partOf(const std::vector<TopoDS_Shape>& solids);

// One body of a document with its faces, edges and vertices as the host hands them out. Each is
// made once, so a test can pick the very object whose key it compares.
class Body {
  public:
    Body(hostapp::DocumentPtr document, int index, bool assembly)
        : document_(std::move(document)), index_(index), assembly_(assembly) {}

    const host::KeyBytes& key() const { return document_->bodyKey(index_); }
    hostapp::HostFace& face(int i) { return entity<hostapp::HostFace>(hostapp::EntityType::Face, i); }
    hostapp::HostEdge& edge(int i) { return entity<hostapp::HostEdge>(hostapp::EntityType::Edge, i); }
    hostapp::HostVertex& vertex(int i) { return entity<hostapp::HostVertex>(hostapp::EntityType::Vertex, i); }
    int count(hostapp::EntityType type) const { return document_->count(index_, type); }

  private:
    template <typename T>
    T& entity(hostapp::EntityType type, int i);

    hostapp::DocumentPtr document_;
    int index_;
    bool assembly_;
    std::map<std::pair<int, int>, platform::RefPtr<platform::IUnknown>> made_;
};

// The item a person picks to get the host's object.
template <typename I>
hostapp::PickItem pickItemOf(const hostapp::HostEntityOf<I>& entity) {
    const hostapp::EntityType type = entity.ref().type;
    const auto kind = type == hostapp::EntityType::Face   ? hostapp::PickKind::Face
                      : type == hostapp::EntityType::Edge ? hostapp::PickKind::Edge
                                                          : hostapp::PickKind::Vertex;
    return {kind, entity.document().globalNumber(entity.ref()), {}};
}
inline hostapp::PickItem pickItemOf(const hostapp::HostDesignPoint& point) {
    return {hostapp::PickKind::Point, point.number(), {}};
}
inline hostapp::PickItem pickItemOf(const hostapp::HostPlane& plane) {
    return {hostapp::PickKind::Plane, 0, plane.name()};
}

// The user's picks in a session.
class Picks {
  public:
    explicit Picks(hostapp::HostSelection& selection) : selection_(selection) {}

    // Replaces the picks with `objects`, in order (faces, edges, vertices, design points, planes).
    template <typename... Objects>
    Picks& select(Objects&... objects) {
        selection_.replace({hostapp::SelectedItem{
            pickItemOf(objects),
            platform::RefPtr<platform::IUnknown>(static_cast<platform::IUnknown*>(&objects))}...});
        return *this;
    }
    Picks& clear() {
        selection_.replace({});
        return *this;
    }
    // The filter of every count the add-on asked, in order.
    const std::vector<std::int32_t>& filters() const { return selection_.filters(); }
    int handBackCount() const { return selection_.handBacks(); }
    std::size_t size() const { return selection_.size(); }

  private:
    hostapp::HostSelection& selection_;
};

// A document open in the host as a session.
class Part {
  public:
    Part(hostapp::HostSessions& sessions, std::string name, hostapp::DocumentPtr document,
         hostapp::SessionOptions options);

    hostapp::HostSession& session() const { return *session_; }
    hostapp::HostSession* operator->() const { return session_.get(); }
    const std::string& name() const { return session_->name(); }
    const hostapp::OcctDocument& document() const { return session_->document(); }

    // The document opened again with other units or another shape, as a new session of the same
    // name; what was picked and added to the old one is gone.
    Part& setUnits(std::int32_t model, std::int32_t display);
    Part& setDocument(hostapp::DocumentPtr document);
    Part& setPlacement(const host::Transform& placement);

    Body& body(std::size_t i);
    std::size_t bodyCount() const { return static_cast<std::size_t>(document().bodyCount()); }
    hostapp::HostDesignPoint& addDesignPoint(host::Point3 position) {
        return session_->addDesignPoint(position);
    }
    hostapp::HostPlane& addPlane(const std::string& name, double a, double b, double c) {
        return session_->addPlane(name, a, b, c);
    }
    Picks& selection() { return *picks_; }

  private:
    void reopen(hostapp::DocumentPtr document, hostapp::SessionOptions options);

    hostapp::HostSessions& sessions_;
    platform::RefPtr<hostapp::HostSession> session_;
    std::vector<std::unique_ptr<Body>> bodies_;
    std::unique_ptr<Picks> picks_;
};

// View position of a model point in the host's view: x to the right, y up the screen (pixel y
// grows downwards), z drawn obliquely so that points differing only in z land on different pixels.
struct Projection {
    double originX = 400.0;
    double originY = 300.0;
    double scale = 10.0;
    double depthX = 0.5;
    double depthY = 0.25;

    double pixelX(const host::Point3& p) const { return originX + scale * (p.x + depthX * p.z); }
    double pixelY(const host::Point3& p) const { return originY - scale * (p.y + depthY * p.z); }
};

class StandInHost : public hostapp::CommandHost {
  public:
    // The failure plan starts empty and is emptied again when the host goes.
    StandInHost();
    ~StandInHost() override;
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    // A session of `document`; without one, of a 10 x 20 x 30 box with a corner at the origin.
    Part& addPartSession(const std::string& name, hostapp::DocumentPtr document = nullptr);
    Part& addAssemblySession(const std::string& name, hostapp::DocumentPtr document = nullptr);
    void closeSession(const std::string& name) { root_->sessions().remove(name); }

    hostapp::HostRoot& root() const { return *root_; }
    // The hook as AddOnLoad receives it.
    host::IQDAddOnHook* hook() const { return hook_.get(); }

    // A site for a command this host runs.
    platform::RefPtr<hostapp::CommandSite> newCommandSite();

    // The host's failure plan: the next, or the n-th call from now, of an operation fails.
    void failNext(const std::string& operation) { hostapp::failurePlan().failNext(operation); }
    void failNth(const std::string& operation, int n) { hostapp::failurePlan().failNth(operation, n); }
    int callCount(const std::string& operation) const { return hostapp::failurePlan().calls(operation); }

    // ---- the view the sites answer from ----
    Projection projection;
    // The view's 3-D device the sites hand out; none makes GetRenderDevice fail.
    void setRenderDevice(platform::RefPtr<platform::IUnknown> device) { device_ = std::move(device); }
    // Commands started through a site, each with the site the host gave it.
    struct Started {
        platform::RefPtr<host::IQuarnelAddOnCommand> command;
        platform::RefPtr<hostapp::CommandSite> site;
    };
    const std::vector<Started>& startedCommands() const { return started_; }

    void projectPoint(const host::Point3& point, double* x, double* y) const override;
    // The sites record redraws and ends themselves; the host's own requests are not looked at.
    void requestRedraw() override {}
    void requestEnd(hostapp::CommandSite*) override {}
    void startFurtherCommand(host::IQuarnelAddOnCommand* command) override;
    platform::IUnknown* renderDevice() const override { return device_.get(); }

  private:
    Part& add(const std::string& name, hostapp::DocumentPtr document, bool assembly);

    platform::RefPtr<hostapp::HostRoot> root_;
    platform::RefPtr<hostapp::HostHook> hook_;
    std::vector<std::unique_ptr<Part>> parts_;
    platform::RefPtr<platform::IUnknown> device_;
    std::vector<Started> started_;
    std::vector<platform::RefPtr<hostapp::CommandSite>> sites_;  // detached when the host goes
};

template <typename T>
T& Body::entity(hostapp::EntityType type, int i) {
    auto& made = made_[{static_cast<int>(type), i}];
    if (!made) {
        const hostapp::EntityRef ref{index_, type, i};
        (void)document_->entity(ref);  // throws for an entity the body does not have
        made = platform::RefPtr<platform::IUnknown>(platform::makeRef<T>(document_, ref, assembly_).get());
    }
    return static_cast<T&>(*made);
}

}  // namespace testhost
