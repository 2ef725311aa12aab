#pragma once
// Reference-counted interfaces in the host's object model: query by interface id, add-ref, release.
#include <atomic>
#include <cstdint>

#include "platform/interface_id.h"
#include "platform/status.h"

namespace platform {

class IUnknown {
  public:
    KOLVANE_INTERFACE_ID(IUnknown);
    using Base = void;

    virtual Status QueryInterface(InterfaceId iid, void** out) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

  protected:
    virtual ~IUnknown() = default;
};

// Late-bound dispatch. The host's command and menu protocols never use it; objects answer
// one type-information object and "not implemented" for the rest.
class IDispatch : public IUnknown {
  public:
    KOLVANE_INTERFACE_ID(IDispatch);
    using Base = IUnknown;

    virtual Status GetTypeInfoCount(std::uint32_t* count) = 0;
    virtual Status GetTypeInfo(std::uint32_t index, IUnknown** info) = 0;
    virtual Status GetIDsOfNames(const char* name, std::int32_t* dispatchId) = 0;
    virtual Status Invoke(std::int32_t dispatchId) = 0;
};

namespace detail {
// True when `iid` names interface I or one of the interfaces it derives from.
template <typename I>
constexpr bool implementsId(InterfaceId iid) {
    if (I::iid == iid) return true;
    if constexpr (std::is_void_v<typename I::Base>) {
        return false;
    } else {
        return implementsId<typename I::Base>(iid);
    }
}
}  // namespace detail

// Implements reference counting and QueryInterface for a class deriving from `Interfaces...`.
// The count starts at 0; the first owner adds the first reference, the last Release deletes.
template <typename... Interfaces>
class Implements : public Interfaces... {
  public:
    std::uint32_t AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }

    std::uint32_t Release() override {
        const std::uint32_t left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete this;
        return left;
    }

    Status QueryInterface(InterfaceId iid, void** out) override {
        if (out == nullptr) return kInvalidPointer;
        *out = nullptr;
        if (!(findInterface<Interfaces>(iid, out) || ...)) return kNoInterface;
        AddRef();
        return kOk;
    }

    std::uint32_t referenceCount() const { return refs_.load(); }

  protected:
    ~Implements() override = default;

  private:
    template <typename I>
    bool findInterface(InterfaceId iid, void** out) {
        if (!detail::implementsId<I>(iid)) return false;
        *out = static_cast<I*>(this);
        return true;
    }

    std::atomic<std::uint32_t> refs_{0};
};

// Answers of an object that supports dispatch only through its type information, which it
// never sets up: one type-information object counted, everything else not implemented.
template <typename... Interfaces>
class ImplementsDispatch : public Implements<Interfaces...> {
  public:
    Status GetTypeInfoCount(std::uint32_t* count) override {
        if (count == nullptr) return kInvalidPointer;
        *count = 1;
        return kOk;
    }
    Status GetTypeInfo(std::uint32_t, IUnknown** info) override {
        if (info != nullptr) *info = nullptr;
        return kNotImplemented;
    }
    Status GetIDsOfNames(const char*, std::int32_t*) override { return kNotImplemented; }
    Status Invoke(std::int32_t) override { return kNotImplemented; }
};

}  // namespace platform
