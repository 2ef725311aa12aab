#include "documents/failure_plan.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace hostapp {

namespace {

constexpr std::array<std::string_view, 54> kOperations = {
    "IQDAddOnHook::GetRoot",
    "IQDRoot::get_Sessions",
    "IQDSessions::get_Count",
    "IQDSessions::Item",
    "IQDSession::get_Kind",
    "IQDSession::get_Name",
    "IQDSession::get_Selection",
    "IQDDesignSession::get_ModelUnits",
    "IQDDesignSession::get_DisplayUnits",
    "IQDDesignSession::GetBoundingBox",
    "IQDDesignSession::ExportStep",
    "IQDDesignSession::get_DesignPointCount",
    "IQDDesignSession::GetDesignPoint",
    "IQDDesignSession::FindEntity",
    "IQDPartSession::GetBodies",
    "IQDPartSession::GetBoundingBox",
    "IQDPartSession::GetTransformation",
    "IQDPartSession::FindEntity",
    "IQDAssemblySession::get_ComponentCount",
    "IQDBodies::get_Count",
    "IQDBodies::Item",
    "IQDBody::get_Key",
    "IQDBody::get_Faces",
    "IQDBody::get_Edges",
    "IQDBody::get_Vertices",
    "IQDEntities::get_Count",
    "IQDEntities::Item",
    "IQDEntity::get_Key",
    "IQDEntity::get_Body",
    "IQDEntity::GetCorners",
    "IQDFace::get_SurfaceKind",
    "IQDFace::GetAxis",
    "IQDEdge::get_Faces",
    "IQDVertex::GetPoint",
    "IQDDesignPoint::get_Number",
    "IQDDesignPoint::GetPoint",
    "IQDPlaneValues::get_A",
    "IQDPlaneValues::get_B",
    "IQDPlaneValues::get_C",
    "IQDPlane::get_Name",
    "IQDPlane::get_Values",
    "IQDPickedObject::get_Object",
    "IQDSelection::get_Count",
    "IQDSelection::Item",
    "IQDSelection::Reset",
    "IQDSelection::HandBack",
    "IQDCommandSite::ProjectPoint",
    "IQDCommandSite::Redraw",
    "IQDCommandSite::EndCommand",
    "IQDCommandSite::SetPicking",
    "IQDCommandSite::ClearStatus",
    "IQDCommandSite::GetRenderDevice",
    "IQDCommandSite::SetOption",
    "IQDCommandSite::StartCommand",
};

}  // namespace

bool FailurePlan::isOperation(std::string_view operation) {
    return std::find(kOperations.begin(), kOperations.end(), operation) != kOperations.end();
}

void FailurePlan::failNth(const std::string& operation, int n) {
    if (!isOperation(operation)) throw std::invalid_argument("the host has no operation named " + operation);
    if (n < 1) throw std::invalid_argument("calls are counted from 1");
    Entry& entry = entries_[operation];
    // Planning the same call twice fails the first free call after it.
    int call = entry.calls + n;
    while (std::find(entry.failing.begin(), entry.failing.end(), call) != entry.failing.end()) ++call;
    entry.failing.push_back(call);
}

void FailurePlan::clear() {
    entries_.clear();
}

bool FailurePlan::enter(std::initializer_list<std::string_view> names) {
    bool fails = false;
    for (std::string_view name : names) {
        auto it = entries_.find(name);
        if (it == entries_.end()) it = entries_.emplace(std::string(name), Entry{}).first;
        Entry& entry = it->second;
        const int call = ++entry.calls;
        if (std::erase(entry.failing, call) > 0) fails = true;
    }
    return fails;
}

int FailurePlan::calls(std::string_view operation) const {
    auto it = entries_.find(operation);
    return it == entries_.end() ? 0 : it->second.calls;
}

bool FailurePlan::pending() const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [](const auto& e) { return !e.second.failing.empty(); });
}

FailurePlan& failurePlan() {
    static FailurePlan plan;
    return plan;
}

}  // namespace hostapp
