#pragma once
// Design points (numbered from 1) and reference planes with their three components.
#include <string>

#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

namespace hostapp {

class HostDesignPoint : public platform::ImplementsDispatch<host::IQDDesignPoint> {
  public:
    HostDesignPoint(std::int32_t number, host::Point3 position) : number_(number), position_(position) {}

    std::int32_t number() const { return number_; }
    host::Point3 position() const { return position_; }

    platform::Status get_Number(std::int32_t* number) override;
    platform::Status GetPoint(host::Point3* position) override;

  private:
    std::int32_t number_;
    host::Point3 position_;
};

class HostPlaneValues : public platform::ImplementsDispatch<host::IQDPlaneValues> {
  public:
    HostPlaneValues(double a, double b, double c) : a_(a), b_(b), c_(c) {}
    host::Point3 components() const { return {a_, b_, c_}; }

    platform::Status get_A(double* a) override { return answer("IQDPlaneValues::get_A", a_, a); }
    platform::Status get_B(double* b) override { return answer("IQDPlaneValues::get_B", b_, b); }
    platform::Status get_C(double* c) override { return answer("IQDPlaneValues::get_C", c_, c); }

  private:
    static platform::Status answer(const char* operation, double value, double* out);
    double a_, b_, c_;
};

// A reference plane. Its components are its normal: XY gives 0, 0, 1; YZ 1, 0, 0; ZX 0, 1, 0.
class HostPlane : public platform::ImplementsDispatch<host::IQDPlane> {
  public:
    HostPlane(std::string name, double a, double b, double c);

    const std::string& name() const { return name_; }
    // The plane's normal as its three components give it.
    host::Point3 normal() const { return values_->components(); }

    platform::Status get_Name(host::AutoString* name) override;
    platform::Status get_Values(host::IQDPlaneValues** values) override;

  private:
    std::string name_;
    platform::RefPtr<HostPlaneValues> values_;
};

}  // namespace hostapp
