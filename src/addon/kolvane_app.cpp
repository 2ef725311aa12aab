#include "addon/kolvane_app.h"

CKolvaneApp::~CKolvaneApp() {
    if (first_ != nullptr) first_->Release();
    if (second_ != nullptr) second_->Release();
}

CKolvaneApp& theApp() {
    static CKolvaneApp app;
    return app;
}
