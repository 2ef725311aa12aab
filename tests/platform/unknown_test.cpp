// Reference counting, interface queries, the smart pointer and host errors.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/ref_ptr.h"

namespace {

using platform::RefPtr;
using platform::Status;

class IShape : public platform::IUnknown {
  public:
    KOLVANE_INTERFACE_ID(IShape);
    using Base = platform::IUnknown;
    virtual int sides() = 0;
};

class ISolid : public IShape {
  public:
    KOLVANE_INTERFACE_ID(ISolid);
    using Base = IShape;
    virtual int faces() = 0;
};

class IColour : public platform::IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IColour);
    using Base = platform::IDispatch;
    virtual int rgb() = 0;
};

class IMissing : public platform::IUnknown {
  public:
    KOLVANE_INTERFACE_ID(IMissing);
    using Base = platform::IUnknown;
};

class Cube : public platform::ImplementsDispatch<ISolid, IColour> {
  public:
    explicit Cube(bool* deleted = nullptr) : deleted_(deleted) {}
    int sides() override { return 4; }
    int faces() override { return 6; }
    int rgb() override { return 0xFF0000; }

  private:
    ~Cube() override {
        if (deleted_) *deleted_ = true;
    }
    bool* deleted_;
};

template <typename I>
I* queried(platform::IUnknown* object, Status* status = nullptr) {
    void* out = reinterpret_cast<void*>(1);
    const Status s = object->QueryInterface(I::iid, &out);
    if (status) *status = s;
    return static_cast<I*>(out);
}

TEST(Implements, FindsEveryInterfaceAndItsBasesWithOneMoreReference) {
    bool deleted = false;
    auto cube = platform::makeRef<Cube>(&deleted);
    ASSERT_EQ(cube->referenceCount(), 1u);
    IColour* colourSide = cube.get();
    ISolid* solidSide = cube.get();

    ISolid* solid = queried<ISolid>(colourSide);
    EXPECT_EQ(solid, solidSide);
    EXPECT_EQ(solid->faces(), 6);
    IShape* shape = queried<IShape>(colourSide);  // base of an interface listed
    EXPECT_EQ(shape, static_cast<IShape*>(solidSide));
    EXPECT_EQ(shape->sides(), 4);
    IColour* colour = queried<IColour>(solidSide);
    EXPECT_EQ(colour, colourSide);
    platform::IDispatch* dispatch = queried<platform::IDispatch>(solidSide);
    EXPECT_EQ(dispatch, static_cast<platform::IDispatch*>(colourSide));
    platform::IUnknown* unknown = queried<platform::IUnknown>(colourSide);
    EXPECT_NE(unknown, nullptr);
    EXPECT_EQ(cube->referenceCount(), 6u);
    for (platform::IUnknown* p :
         {static_cast<platform::IUnknown*>(solid), static_cast<platform::IUnknown*>(shape),
          static_cast<platform::IUnknown*>(colour), static_cast<platform::IUnknown*>(dispatch), unknown})
        p->Release();
    EXPECT_EQ(cube->referenceCount(), 1u);
    EXPECT_FALSE(deleted);
}

TEST(Implements, RefusesUnknownIdsAndNullOutParameters) {
    auto cube = platform::makeRef<Cube>();
    Status status = 0;
    EXPECT_EQ(queried<IMissing>(static_cast<ISolid*>(cube.get()), &status),
              nullptr);  // the out parameter is cleared
    EXPECT_EQ(status, platform::kNoInterface);
    EXPECT_EQ(cube->QueryInterface(ISolid::iid, nullptr), platform::kInvalidPointer);
    EXPECT_EQ(cube->referenceCount(), 1u);
}

TEST(Implements, DeletesItselfWhenTheLastReferenceGoes) {
    bool deleted = false;
    Cube* cube = new Cube(&deleted);
    EXPECT_EQ(cube->AddRef(), 1u);
    EXPECT_EQ(cube->AddRef(), 2u);
    EXPECT_EQ(cube->Release(), 1u);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(cube->Release(), 0u);
    EXPECT_TRUE(deleted);
}

TEST(Implements, CountsAtomicallyAcrossThreads) {
    auto cube = platform::makeRef<Cube>();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                cube->AddRef();
                cube->Release();
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(cube->referenceCount(), 1u);
}

TEST(ImplementsDispatch, AnswersOneTypeInfoAndNothingElse) {
    auto cube = platform::makeRef<Cube>();
    std::uint32_t count = 0;
    EXPECT_EQ(cube->GetTypeInfoCount(&count), platform::kOk);
    EXPECT_EQ(count, 1u);
    platform::IUnknown* info = static_cast<ISolid*>(cube.get());
    EXPECT_EQ(cube->GetTypeInfo(0, &info), platform::kNotImplemented);
    EXPECT_EQ(info, nullptr);
    EXPECT_EQ(cube->Invoke(1), platform::kNotImplemented);
}

TEST(RefPtr, OwnsExactlyOneReference) {
    bool deleted = false;
    auto cube = platform::makeRef<Cube>(&deleted);
    {
        RefPtr<Cube> copy = cube;
        EXPECT_EQ(cube->referenceCount(), 2u);
        RefPtr<Cube> moved = std::move(copy);
        EXPECT_FALSE(copy);
        EXPECT_EQ(cube->referenceCount(), 2u);
        RefPtr<ISolid> converted = moved;
        EXPECT_EQ(cube->referenceCount(), 3u);
        moved = moved;  // self-assignment keeps the reference
        EXPECT_EQ(cube->referenceCount(), 3u);
        converted = nullptr;
        EXPECT_EQ(cube->referenceCount(), 2u);
    }
    EXPECT_EQ(cube->referenceCount(), 1u);

    // put releases what was held; adopt and detach pass a reference without counting it.
    RefPtr<ISolid> out = cube.query<ISolid>();
    EXPECT_EQ(cube->referenceCount(), 2u);
    cube->QueryInterface(ISolid::iid, reinterpret_cast<void**>(out.put()));
    EXPECT_EQ(cube->referenceCount(), 2u);
    ISolid* raw = out.detach();
    EXPECT_FALSE(out);
    RefPtr<ISolid> adopted = RefPtr<ISolid>::adopt(raw);
    EXPECT_EQ(cube->referenceCount(), 2u);
    adopted.reset();
    EXPECT_EQ(cube->referenceCount(), 1u);

    cube = nullptr;
    EXPECT_TRUE(deleted);
}

TEST(RefPtr, QueryAnswersNullAndRequireThrowsWithTheInterfaceName) {
    auto cube = platform::makeRef<Cube>();
    RefPtr<platform::IUnknown> unknown = cube.query<platform::IUnknown>();
    EXPECT_TRUE(unknown.query<IColour>());
    EXPECT_FALSE(unknown.query<IMissing>());
    EXPECT_FALSE(RefPtr<Cube>().query<ISolid>());
    try {
        unknown.require<IMissing>();
        FAIL() << "require did not throw";
    } catch (const platform::HostError& e) {
        EXPECT_EQ(e.status(), platform::kNoInterface);
        EXPECT_EQ(e.interfaceName(), "IMissing");
    }
    try {
        RefPtr<platform::IUnknown>().require<ISolid>();
        FAIL() << "require on nothing did not throw";
    } catch (const platform::HostError& e) {
        EXPECT_EQ(e.status(), platform::kInvalidPointer);
        EXPECT_EQ(e.interfaceName(), "ISolid");
    }
    EXPECT_EQ(cube->referenceCount(), 2u);
}

TEST(HostError, CarriesStatusAndInterface) {
    EXPECT_NO_THROW(platform::check(platform::kOk, ISolid::iid));
    EXPECT_NO_THROW(platform::check(platform::kFalse, ISolid::iid));  // 1 is a success
    try {
        platform::check(platform::kFail, IColour::iid);
        FAIL() << "check did not throw";
    } catch (const platform::HostError& e) {
        EXPECT_EQ(e.status(), platform::kFail);
        EXPECT_EQ(e.interfaceName(), "IColour");
        EXPECT_NE(std::string(e.what()).find("IColour"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("0x80004005"), std::string::npos);
    }
    RefPtr<Cube> none;
    EXPECT_THROW(platform::require(none, IShape::iid), platform::HostError);
}

}  // namespace
