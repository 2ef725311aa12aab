#pragma once
// Design points (numbered from 1) and reference planes with their three components.
#include <string>

#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"
#include "support/fake_object.h"

namespace testhost {

class FakeDesignPoint : public FakeDispatch<host::IQDDesignPoint> {
  public:
    FakeDesignPoint(std::shared_ptr<HostState> state, std::int32_t number, host::Point3 position)
        : Fake(std::move(state)), number_(number), position_(position) {}

    std::int32_t number() const { return number_; }
    host::Point3 position() const { return position_; }

    Status get_Number(std::int32_t* number) override {
        return answer("IQDDesignPoint::get_Number", number, number_);
    }
    Status GetPoint(host::Point3* position) override {
        return answer("IQDDesignPoint::GetPoint", position, position_);
    }

  private:
    std::int32_t number_;
    host::Point3 position_;
};

class FakePlaneValues : public FakeDispatch<host::IQDPlaneValues> {
  public:
    FakePlaneValues(std::shared_ptr<HostState> state, double a, double b, double c)
        : Fake(std::move(state)), a_(a), b_(b), c_(c) {}

    Status get_A(double* a) override { return answer("IQDPlaneValues::get_A", a, a_); }
    Status get_B(double* b) override { return answer("IQDPlaneValues::get_B", b, b_); }
    Status get_C(double* c) override { return answer("IQDPlaneValues::get_C", c, c_); }

  private:
    double a_, b_, c_;
};

class FakePlane : public FakeDispatch<host::IQDPlane> {
  public:
    FakePlane(std::shared_ptr<HostState> state, std::string name, double a, double b, double c)
        : Fake(std::move(state)),
          name_(std::move(name)),
          values_(platform::makeRef<FakePlaneValues>(sharedState(), a, b, c)) {}

    // The object get_Values hands out (to make its accessors fail).
    FakePlaneValues& values() const { return *values_; }

    Status get_Name(host::AutoString* name) override { return answer("IQDPlane::get_Name", name, name_); }
    Status get_Values(host::IQDPlaneValues** values) override {
        return answerObject("IQDPlane::get_Values", values_.get(), values);
    }

  private:
    std::string name_;
    platform::RefPtr<FakePlaneValues> values_;
};

}  // namespace testhost
