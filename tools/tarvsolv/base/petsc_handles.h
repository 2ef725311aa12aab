#pragma once
// Owning handles for PETSc and SLEPc objects, and the check that turns PETSc error codes into
// exceptions so every failure reaches the program's one error report.
#include <petscksp.h>
#include <slepceps.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace tarvsolv {

// What PETSc says of the error `code`: the message the failing PETSc function raised ("Zero pivot in
// row 12", "Unknown Mat type given: ..."), else the error class's text ("Out of memory"), else the
// number. The raised message is the more useful: the class alone rarely tells what went wrong.
inline std::string petscErrorText(PetscErrorCode code) {
    const char* text = nullptr;
    char* specific = nullptr;
    PetscErrorMessage(code, &text, &specific);
    std::string raised = specific ? specific : "";
    while (!raised.empty() && (raised.back() == '\n' || raised.back() == ' ')) raised.pop_back();
    if (!raised.empty()) return raised;
    return text ? text : "PETSc error " + std::to_string(code);
}

// Throws std::runtime_error "<what> failed: <PETSc's text>" when `code` is a PETSc error.
inline void petscCheck(PetscErrorCode code, std::string_view what) {
    if (code != 0) throw std::runtime_error(std::string(what) + " failed: " + petscErrorText(code));
}

// The name of the function a stringised call text calls: "VecCreateMPI(comm, n, &v)" gives
// "VecCreateMPI".
constexpr std::string_view calledFunction(std::string_view call) {
    const auto open = call.find('(');
    const std::string_view name = call.substr(0, open);
    const auto last = name.find_last_not_of(" \t\n");
    return last == std::string_view::npos ? name : name.substr(0, last + 1);
}

}  // namespace tarvsolv

// Calls a PETSc function and throws, naming that function, when it fails:
// TARV_PETSC(VecCreateMPI(comm, n, N, &v)) reports "VecCreateMPI failed: ...".
#define TARV_PETSC(call) ::tarvsolv::petscCheck((call), ::tarvsolv::calledFunction(#call))

namespace tarvsolv {

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
