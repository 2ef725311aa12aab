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

// Asks `from` for interface I and checks it lands on `expected` with one more reference, which it
// gives back.
template <typename I>
void expectQueryFinds(platform::IUnknown* from, I* expected, const Cube& cube) {
    const auto before = cube.referenceCount();
    I* found = queried<I>(from);
    EXPECT_EQ(found, expected);
    EXPECT_EQ(cube.referenceCount(), before + 1);
    if (found) found->Release();
}

TEST(Implements, FindsEveryInterfaceAndItsBasesFromEitherSide) {
    auto cube = platform::makeRef<Cube>();
    IColour* colour = cube.get();
    ISolid* solid = cube.get();
    expectQueryFinds<ISolid>(colour, solid, *cube);
    expectQueryFinds<IShape>(colour, solid, *cube);  // base of an interface listed
    expectQueryFinds<IColour>(solid, colour, *cube);
    expectQueryFinds<platform::IDispatch>(solid, colour, *cube);
    // Both sides answer the one identity pointer.
    expectQueryFinds<platform::IUnknown>(colour, static_cast<platform::IUnknown*>(solid), *cube);
    expectQueryFinds<platform::IUnknown>(solid, static_cast<platform::IUnknown*>(solid), *cube);

    Status status = 0;
    EXPECT_EQ(queried<IMissing>(solid, &status), nullptr);  // the out parameter is cleared
    EXPECT_EQ(status, platform::kNoInterface);
    EXPECT_EQ(cube->QueryInterface(ISolid::iid, nullptr), platform::kInvalidPointer);
    EXPECT_EQ(cube->referenceCount(), 1u);
}

TEST(Implements, CountsAtomicallyAndDeletesItselfWhenTheLastReferenceGoes) {
    bool deleted = false;
    Cube* cube = new Cube(&deleted);
    EXPECT_EQ(cube->AddRef(), 1u);
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
    EXPECT_EQ(cube->AddRef(), 2u);
    EXPECT_EQ(cube->Release(), 1u);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(cube->Release(), 0u);
    EXPECT_TRUE(deleted);
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

// Runs `call`, which must throw a HostError with `status` whose text names `interfaceName` and
// holds `code` (the status in hexadecimal) when one is given.
template <typename Call>
void expectHostError(Call call, Status status, const std::string& interfaceName,
                     const std::string& code = "") {
    try {
        call();
        ADD_FAILURE() << "no HostError for " << interfaceName;
    } catch (const platform::HostError& e) {
        EXPECT_EQ(e.status(), status);
        EXPECT_EQ(e.interfaceName(), interfaceName);
        for (const std::string& part : {interfaceName, code})
            EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
    }
}

TEST(RefPtr, QueryAnswersNullWhereRequireAndCheckThrowNamingTheInterface) {
    auto cube = platform::makeRef<Cube>();
    RefPtr<platform::IUnknown> unknown = cube.query<platform::IUnknown>();
    EXPECT_TRUE(unknown.query<IColour>());
    EXPECT_FALSE(unknown.query<IMissing>());
    EXPECT_FALSE(RefPtr<Cube>().query<ISolid>());
    expectHostError([&] { unknown.require<IMissing>(); }, platform::kNoInterface, "IMissing");
    expectHostError([] { RefPtr<platform::IUnknown>().require<ISolid>(); }, platform::kInvalidPointer,
                    "ISolid");
    EXPECT_EQ(cube->referenceCount(), 2u);

    EXPECT_NO_THROW(platform::check(platform::kOk, ISolid::iid));
    EXPECT_NO_THROW(platform::check(platform::kFalse, ISolid::iid));  // 1 is a success
    expectHostError([] { platform::check(platform::kFail, IColour::iid); }, platform::kFail, "IColour",
                    "0x80004005");
    expectHostError([] { platform::require(RefPtr<Cube>(), IShape::iid); }, platform::kInvalidPointer,
                    "IShape");
}

}  // namespace
