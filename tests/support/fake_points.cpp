#include "support/fake_points.h"

namespace testhost {

using platform::kInvalidPointer;
using platform::kOk;

Status FakeDesignPoint::get_Number(std::int32_t* number) {
    if (const Status s = gate("IQDDesignPoint::get_Number"); platform::failed(s)) return s;
    if (number == nullptr) return kInvalidPointer;
    *number = number_;
    return kOk;
}

Status FakeDesignPoint::GetPoint(host::Point3* position) {
    if (const Status s = gate("IQDDesignPoint::GetPoint"); platform::failed(s)) return s;
    if (position == nullptr) return kInvalidPointer;
    *position = position_;
    return kOk;
}

Status FakePlaneValues::answer(std::string_view operation, double value, double* out) {
    if (const Status s = gate(operation); platform::failed(s)) return s;
    if (out == nullptr) return kInvalidPointer;
    *out = value;
    return kOk;
}

FakePlane::FakePlane(std::shared_ptr<HostState> state, std::string name, double a, double b, double c)
    : Fake(std::move(state)),
      name_(std::move(name)),
      values_(platform::makeRef<FakePlaneValues>(sharedState(), a, b, c)) {}

Status FakePlane::get_Name(host::AutoString* name) {
    if (const Status s = gate("IQDPlane::get_Name"); platform::failed(s)) return s;
    if (name == nullptr) return kInvalidPointer;
    *name = name_;
    return kOk;
}

Status FakePlane::get_Values(host::IQDPlaneValues** values) {
    if (values != nullptr) *values = nullptr;
    if (const Status s = gate("IQDPlane::get_Values"); platform::failed(s)) return s;
    return handOut(values_.get(), values);
}

}  // namespace testhost
