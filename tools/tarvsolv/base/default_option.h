#pragma once
// A PETSc option that holds while the object lives, unless the command line gives it already: a
// default of the program's own that the user can still override, and that does not outlast the
// step it was meant for.
#include "base/petsc_handles.h"

#include <string>

namespace tarvsolv {

class DefaultOption {
  public:
    DefaultOption(const char* name, const char* value) : name_(name) {
        PetscBool given = PETSC_FALSE;
        TARV_PETSC(PetscOptionsHasName(nullptr, nullptr, name, &given));
        if (given) return;
        TARV_PETSC(PetscOptionsSetValue(nullptr, name, value));
        set_ = true;
    }
    ~DefaultOption() {
        if (set_) PetscOptionsClearValue(nullptr, name_.c_str());
    }
    DefaultOption(const DefaultOption&) = delete;
    DefaultOption& operator=(const DefaultOption&) = delete;

  private:
    std::string name_;
    bool set_ = false;
};

}  // namespace tarvsolv
