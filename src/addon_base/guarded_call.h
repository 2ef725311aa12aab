#pragma once
// Every host callback catches every failure, tells the user which class and operation failed
// ("Exception caught in CLoadsCommand::OnTerminate") and answers success to the host.
#include <exception>
#include <string>

#include "platform/status.h"
#include "ui/prompts.h"

namespace addon {

inline std::string exceptionMessage(const std::string& className, const std::string& operation) {
    return "Exception caught in " + className + "::" + operation;
}

template <typename Body>
platform::Status guardedCall(const std::string& className, const char* operation, Body&& body) {
    try {
        body();
    } catch (...) {
        ui::showMessage(exceptionMessage(className, operation));
    }
    return platform::kOk;
}

}  // namespace addon
