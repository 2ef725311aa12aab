#pragma once
// Owning smart pointer for reference-counted interfaces.
#include <utility>

#include "platform/host_error.h"
#include "platform/unknown.h"

namespace platform {

template <typename T>
class RefPtr {
  public:
    RefPtr() = default;
    RefPtr(std::nullptr_t) {}
    // Adds a reference to `p`.
    explicit RefPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    RefPtr(const RefPtr& o) : RefPtr(o.p_) {}
    RefPtr(RefPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    RefPtr(const RefPtr<U>& o) : RefPtr(static_cast<T*>(o.get())) {}
    ~RefPtr() { reset(); }

    RefPtr& operator=(const RefPtr& o) {
        RefPtr(o).swap(*this);
        return *this;
    }
    RefPtr& operator=(RefPtr&& o) noexcept {
        RefPtr(std::move(o)).swap(*this);
        return *this;
    }
    RefPtr& operator=(std::nullptr_t) {
        reset();
        return *this;
    }

    // Takes over a reference the caller already owns (an out parameter's result).
    static RefPtr adopt(T* p) {
        RefPtr r;
        r.p_ = p;
        return r;
    }

    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    void swap(RefPtr& o) noexcept { std::swap(p_, o.p_); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // Address for an out parameter; releases what is held first.
    T** put() {
        reset();
        return &p_;
    }
    // Hands the reference to the caller.
    T* detach() { return std::exchange(p_, nullptr); }

    // Queries `p_` for interface U; returns null when it is not offered.
    template <typename U>
    RefPtr<U> query() const {
        void* out = nullptr;
        if (!p_ || failed(p_->QueryInterface(U::iid, &out))) return {};
        return RefPtr<U>::adopt(static_cast<U*>(out));
    }

    // Queries for U and throws HostError (carrying U's identity) when it is not offered.
    template <typename U>
    RefPtr<U> require() const {
        if (!p_) throw HostError(kInvalidPointer, U::iid);
        void* out = nullptr;
        check(p_->QueryInterface(U::iid, &out), U::iid);
        return RefPtr<U>::adopt(static_cast<U*>(out));
    }

    friend bool operator==(const RefPtr& a, const RefPtr& b) { return a.p_ == b.p_; }
    friend bool operator==(const RefPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

  private:
    T* p_ = nullptr;
};

// Creates a new object and takes its first reference.
template <typename T, typename... Args>
RefPtr<T> makeRef(Args&&... args) {
    return RefPtr<T>(new T(std::forward<Args>(args)...));
}

}  // namespace platform
