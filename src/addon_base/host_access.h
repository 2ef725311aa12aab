#pragma once
// The add-on's ways into the host: its sessions by name and their units. Host failures become
// HostError, which the calling callback reports.
#include <string>

#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

namespace addon {

class CommandOwner;

// The host's session named `name` (root, session collection, item by name).
platform::RefPtr<host::IQDSession> findSession(const std::string& name);

// The host session of an explorer.
platform::RefPtr<host::IQDSession> findSessionOf(const CommandOwner& explorer);

// Factor of a length unit code to metres; 0 for an unknown code.
double unitFactor(std::int32_t unit);
// The unit text the dialogs show for a display unit ("mm", "cm", "m.", "in", "ft").
std::string unitText(std::int32_t unit);
// Model-to-display length scale: factor(model) / factor(display), 1 for an unknown model unit,
// the model factor undivided for an unknown display unit.
double lengthScale(std::int32_t modelUnit, std::int32_t displayUnit);

// The session's model-to-display length scale and the unit text of its display unit.
struct LengthUnits {
    double scale = 1.0;
    std::string text = "mm";
};
LengthUnits readLengthUnits(const platform::RefPtr<host::IQDSession>& session);

}  // namespace addon
