#include "support/stand_in_host.h"

#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <gp_Ax2.hxx>

#include "support/occt_compound.h"

namespace testhost {

TopoDS_Shape box(host::Point3 low, host::Point3 high) {
    return BRepPrimAPI_MakeBox(gp_Pnt(low.x, low.y, low.z), gp_Pnt(high.x, high.y, high.z)).Shape();
}

TopoDS_Shape cylinder(host::Point3 base, double radius, double height) {
    return BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(base.x, base.y, base.z), gp::DZ()), radius, height).Shape();
}

hostapp::DocumentPtr partOf(const std::vector<TopoDS_Shape>& solids) {
    return std::make_shared<hostapp::OcctDocument>(solids.size() == 1 ? solids.front() : compoundOf(solids));
}

// ---- Part ----

Part::Part(hostapp::HostSessions& sessions, std::string name, hostapp::DocumentPtr document,
           hostapp::SessionOptions options)
    : sessions_(sessions) {
    session_ = platform::makeRef<hostapp::HostSession>(std::move(name), std::move(document), options);
    sessions_.add(session_);
    picks_ = std::make_unique<Picks>(session_->selection());
}

void Part::reopen(hostapp::DocumentPtr document, hostapp::SessionOptions options) {
    const std::string name = session_->name();
    sessions_.remove(name);
    session_ = platform::makeRef<hostapp::HostSession>(name, std::move(document), options);
    sessions_.add(session_);
    bodies_.clear();
    picks_ = std::make_unique<Picks>(session_->selection());
}

Part& Part::setUnits(std::int32_t model, std::int32_t display) {
    hostapp::SessionOptions options = session_->options();
    options.modelUnit = model;
    options.displayUnit = display;
    reopen(session_->documentPtr(), options);
    return *this;
}

Part& Part::setDocument(hostapp::DocumentPtr document) {
    reopen(std::move(document), session_->options());
    return *this;
}

Part& Part::setPlacement(const host::Transform& placement) {
    hostapp::SessionOptions options = session_->options();
    options.placement = placement;
    reopen(session_->documentPtr(), options);
    return *this;
}

Body& Part::body(std::size_t i) {
    if (i >= bodyCount()) throw std::out_of_range("the part has no body " + std::to_string(i));
    if (bodies_.size() <= i) bodies_.resize(bodyCount());
    if (!bodies_[i])
        bodies_[i] =
            std::make_unique<Body>(session_->documentPtr(), static_cast<int>(i), !session_->isPart());
    return *bodies_[i];
}

// ---- StandInHost ----

StandInHost::StandInHost()
    : root_(platform::makeRef<hostapp::HostRoot>()), hook_(platform::makeRef<hostapp::HostHook>(root_)) {
    hostapp::failurePlan().clear();
}

StandInHost::~StandInHost() {
    // A site the add-on still holds must not reach a host that is gone.
    for (auto& site : sites_) site->detach();
    hostapp::failurePlan().clear();
}

platform::RefPtr<hostapp::CommandSite> StandInHost::newCommandSite() {
    sites_.push_back(platform::makeRef<hostapp::CommandSite>(this));
    return sites_.back();
}

Part& StandInHost::add(const std::string& name, hostapp::DocumentPtr document, bool assembly) {
    if (!document) document = partOf({box({0, 0, 0}, {10, 20, 30})});
    hostapp::SessionOptions options;
    options.assembly = assembly;
    parts_.push_back(std::make_unique<Part>(root_->sessions(), name, std::move(document), options));
    return *parts_.back();
}

Part& StandInHost::addPartSession(const std::string& name, hostapp::DocumentPtr document) {
    return add(name, std::move(document), false);
}

Part& StandInHost::addAssemblySession(const std::string& name, hostapp::DocumentPtr document) {
    return add(name, std::move(document), true);
}

void StandInHost::projectPoint(const host::Point3& point, double* x, double* y) const {
    *x = projection.pixelX(point);
    *y = projection.pixelY(point);
}

void StandInHost::startFurtherCommand(host::IQuarnelAddOnCommand* command) {
    // The host gives every command it starts a site of its own.
    Started started{platform::RefPtr<host::IQuarnelAddOnCommand>(command), newCommandSite()};
    started_.push_back(started);
    command->putref_CommandSite(static_cast<host::IQDCommandSite*>(started.site.get()));
}

}  // namespace testhost
