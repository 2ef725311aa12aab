#include "addon_base/host_access.h"

#include "addon_base/command_owner.h"
#include "addon_base/library_state.h"
#include "platform/host_error.h"

namespace addon {

using platform::check;
using platform::RefPtr;

RefPtr<host::IQDSession> findSession(const std::string& name) {
    auto& root = library().hostRoot;
    platform::require(root, host::IQDRoot::iid);
    RefPtr<host::IQDSessions> sessions;
    check(root->get_Sessions(sessions.put()), host::IQDRoot::iid);
    platform::require(sessions, host::IQDSessions::iid);
    RefPtr<host::IQDSession> session;
    check(sessions->Item(platform::Variant(name), session.put()), host::IQDSessions::iid);
    platform::require(session, host::IQDSession::iid);
    return session;
}

RefPtr<host::IQDSession> findSessionOf(const CommandOwner& explorer) {
    return findSession(explorer.sessionName());
}

double unitFactor(std::int32_t unit) {
    switch (unit) {
        case host::kUnitMm:
            return 0.001;
        case host::kUnitCm:
            return 0.01;
        case host::kUnitM:
            return 1.0;
        case host::kUnitIn:
            return 0.0254;
        case host::kUnitFt:
            return 0.3048;
        default:
            return 0.0;
    }
}

std::string unitText(std::int32_t unit) {
    switch (unit) {
        case host::kUnitCm:
            return "cm";
        case host::kUnitM:
            return "m.";
        case host::kUnitIn:
            return "in";
        case host::kUnitFt:
            return "ft";
        default:
            return "mm";
    }
}

double lengthScale(std::int32_t modelUnit, std::int32_t displayUnit) {
    const double model = unitFactor(modelUnit) == 0.0 ? 1.0 : unitFactor(modelUnit);
    const double display = unitFactor(displayUnit);
    return display == 0.0 ? model : model / display;
}

LengthUnits readLengthUnits(const RefPtr<host::IQDSession>& session) {
    auto design = session.require<host::IQDDesignSession>();
    std::int32_t model = 0;
    std::int32_t display = 0;
    check(design->get_ModelUnits(&model), host::IQDDesignSession::iid);
    check(design->get_DisplayUnits(&display), host::IQDDesignSession::iid);
    return {lengthScale(model, display), unitText(display)};
}

}  // namespace addon
