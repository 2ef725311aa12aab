#include "documents/host_points.h"

#include "documents/failure_plan.h"
#include "documents/host_geometry.h"

namespace hostapp {

using platform::kInvalidPointer;
using platform::kOk;
using platform::Status;

Status HostDesignPoint::get_Number(std::int32_t* number) {
    if (failsAsPlanned("IQDDesignPoint::get_Number")) return platform::kFail;
    if (number == nullptr) return kInvalidPointer;
    *number = number_;
    return kOk;
}

Status HostDesignPoint::GetPoint(host::Point3* position) {
    if (failsAsPlanned("IQDDesignPoint::GetPoint")) return platform::kFail;
    if (position == nullptr) return kInvalidPointer;
    *position = position_;
    return kOk;
}

Status HostPlaneValues::answer(const char* operation, double value, double* out) {
    if (failsAsPlanned(operation)) return platform::kFail;
    if (out == nullptr) return kInvalidPointer;
    *out = value;
    return kOk;
}

HostPlane::HostPlane(std::string name, double a, double b, double c)
    : name_(std::move(name)), values_(platform::makeRef<HostPlaneValues>(a, b, c)) {}

Status HostPlane::get_Name(host::AutoString* name) {
    if (failsAsPlanned("IQDPlane::get_Name")) return platform::kFail;
    if (name == nullptr) return kInvalidPointer;
    *name = name_;
    return kOk;
}

Status HostPlane::get_Values(host::IQDPlaneValues** values) {
    if (failsAsPlanned("IQDPlane::get_Values")) return platform::kFail;
    return handOut(values_, values);
}

}  // namespace hostapp
