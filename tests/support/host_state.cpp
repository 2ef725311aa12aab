#include "support/host_state.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace testhost {

namespace {

constexpr std::array kOperations = {
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

void HostState::checkOperationName(std::string_view operation) {
    if (std::find(kOperations.begin(), kOperations.end(), operation) == kOperations.end())
        throw std::invalid_argument("the fake host has no operation named " + std::string(operation));
}

void HostState::failNext(const std::string& operation, Status status) {
    failAfter(operation, 0, status);
}

void HostState::failAfter(const std::string& operation, int succeeding, Status status) {
    checkOperationName(operation);
    next_[operation].push_back({succeeding, status});
}

void HostState::failAlways(const std::string& operation, Status status) {
    checkOperationName(operation);
    always_[operation] = status;
}

void HostState::clearFailures() {
    next_.clear();
    always_.clear();
}

Status HostState::planned(std::string_view operation) {
    if (auto a = always_.find(operation); a != always_.end()) return a->second;
    auto n = next_.find(operation);
    if (n == next_.end() || n->second.empty()) return platform::kOk;
    Planned& first = n->second.front();
    if (first.skip > 0) {
        --first.skip;
        return platform::kOk;
    }
    const Status status = first.status;
    n->second.pop_front();
    return status;
}

Status HostState::enter(std::initializer_list<std::string_view> names) {
    calls_.emplace_back(*names.begin());
    Status answer = platform::kOk;
    for (std::string_view name : names) {
        const Status s = planned(name);
        if (platform::failed(s) && platform::succeeded(answer)) answer = s;
    }
    return answer;
}

int HostState::callCount(std::string_view operation) const {
    return static_cast<int>(std::count(calls_.begin(), calls_.end(), operation));
}

host::KeyBytes HostState::newKey(char sort) {
    const std::uint32_t n = ++serial_;
    return {static_cast<std::uint8_t>(sort),
            0x00,
            static_cast<std::uint8_t>(n & 0xFF),
            static_cast<std::uint8_t>((n >> 8) & 0xFF),
            static_cast<std::uint8_t>((n >> 16) & 0xFF),
            static_cast<std::uint8_t>(n >> 24)};
}

}  // namespace testhost
