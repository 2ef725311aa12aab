#pragma once
// The library's application object: one static instance made when the library loads.
#include "platform/unknown.h"

class CKolvaneApp {
  public:
    CKolvaneApp() = default;
    ~CKolvaneApp();
    CKolvaneApp(const CKolvaneApp&) = delete;
    CKolvaneApp& operator=(const CKolvaneApp&) = delete;

  private:
    // Held for the framework; released when the library unloads.
    platform::IUnknown* first_ = nullptr;
    platform::IUnknown* second_ = nullptr;
    int firstValue_ = 0;
    int secondValue_ = 0;
};

CKolvaneApp& theApp();
