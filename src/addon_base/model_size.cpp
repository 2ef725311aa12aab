#include "addon_base/model_size.h"

#include <algorithm>
#include <cmath>

#include "addon_base/host_access.h"
#include "addon_base/library_state.h"
#include "platform/host_error.h"

namespace addon {

double modelSize(const std::string& sessionName, bool partSession) {
    if (!partSession) return kAssemblyModelSize;
    auto design = findSession(sessionName).require<host::IQDDesignSession>();
    host::Point3 low;
    host::Point3 high;
    platform::check(design->GetBoundingBox(&low, &high), host::IQDDesignSession::iid);
    const double diagonal = std::hypot(high.x - low.x, high.y - low.y, high.z - low.z);
    return std::max(0.0, diagonal * library().lengthScale);
}

}  // namespace addon
