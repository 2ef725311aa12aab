#pragma once
// A stage of the run in PETSc's profile (-log_view), from the object's construction to its end:
// `LogStage stage("assemble");`. Each name is registered once; a stage may be entered again.
#include <petscsys.h>

#include <map>
#include <string>

namespace tarvsolv {

class LogStage {
  public:
    explicit LogStage(const char* name) {
        static std::map<std::string, PetscLogStage> stages;
        auto [it, added] = stages.try_emplace(name, PetscLogStage{});
        if (added) PetscLogStageRegister(name, &it->second);
        pushed_ = PetscLogStagePush(it->second) == 0;
    }
    ~LogStage() {
        if (pushed_) PetscLogStagePop();
    }
    LogStage(const LogStage&) = delete;
    LogStage& operator=(const LogStage&) = delete;

  private:
    bool pushed_ = false;
};

}  // namespace tarvsolv
