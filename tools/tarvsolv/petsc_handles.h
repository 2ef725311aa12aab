#pragma once
// Owning handles for PETSc and SLEPc objects, and the check that turns PETSc error codes into
// exceptions so every failure reaches the program's one error report.
#include <petscksp.h>
#include <slepceps.h>

#include <stdexcept>
#include <string>

namespace tarvsolv {

inline void petscCheck(PetscErrorCode code, const char* what) {
    if (code != 0) {
        const char* text = nullptr;
        PetscErrorMessage(code, &text, nullptr);
        throw std::runtime_error(std::string(what) +
                                 " failed: " + (text ? text : "PETSc error " + std::to_string(code)));
    }
}

template <typename T, PetscErrorCode (*Destroy)(T*)>
class PetscHandle {
  public:
    PetscHandle() = default;
    ~PetscHandle() { reset(); }
    PetscHandle(const PetscHandle&) = delete;
    PetscHandle& operator=(const PetscHandle&) = delete;
    PetscHandle(PetscHandle&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    PetscHandle& operator=(PetscHandle&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = other.object_;
            other.object_ = nullptr;
        }
        return *this;
    }
    void reset() {
        if (object_) Destroy(&object_);
        object_ = nullptr;
    }
    T get() const { return object_; }
    T* out() {
        reset();
        return &object_;
    }
    operator T() const { return object_; }

  private:
    T object_ = nullptr;
};

using MatHandle = PetscHandle<Mat, MatDestroy>;
using VecHandle = PetscHandle<Vec, VecDestroy>;
using KspHandle = PetscHandle<KSP, KSPDestroy>;
using EpsHandle = PetscHandle<EPS, EPSDestroy>;
using ScatterHandle = PetscHandle<VecScatter, VecScatterDestroy>;
using NullSpaceHandle = PetscHandle<MatNullSpace, MatNullSpaceDestroy>;

}  // namespace tarvsolv
