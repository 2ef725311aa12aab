#include "addon_base/addon_command.h"

#include "addon_base/guarded_call.h"
#include "ui/prompts.h"

using platform::kOk;
using platform::Status;
using platform::VariantBool;

Status answerBool(VariantBool* out, bool value) {
    if (out == nullptr) return platform::kInvalidPointer;
    *out = value ? platform::kVariantTrue : platform::kVariantFalse;
    return kOk;
}

CAddOnCommand::~CAddOnCommand() = default;

void CAddOnCommand::ExitCommand() {
    if (!site_) return;
    platform::check(site_->SetPicking(platform::kVariantFalse), host::IQDCommandSite::iid);
    platform::check(site_->ClearStatus(), host::IQDCommandSite::iid);
    platform::check(site_->EndCommand(), host::IQDCommandSite::iid);
}

Status CAddOnCommand::putref_CommandSite(platform::IUnknown* site) {
    site_ = nullptr;
    void* out = nullptr;
    if (site == nullptr || platform::failed(site->QueryInterface(host::IQDCommandSite::iid, &out))) {
        ui::showMessage("Failure in " + className() + "::putref_CommandSite");
        return kOk;
    }
    site_ = platform::RefPtr<host::IQDCommandSite>::adopt(static_cast<host::IQDCommandSite*>(out));
    return kOk;
}

Status CAddOnCommand::get_CommandSite(host::IQDCommandSite** site) {
    if (site == nullptr) return platform::kInvalidPointer;
    *site = nullptr;
    if (!site_) return kOk;
    void* out = nullptr;
    const Status status = site_->QueryInterface(host::IQDCommandSite::iid, &out);
    if (platform::succeeded(status)) *site = static_cast<host::IQDCommandSite*>(out);
    return status;
}

Status CAddOnCommand::get_IsPersistent(VariantBool* answer) {
    return answerBool(answer, false);
}
Status CAddOnCommand::get_HasPanel(VariantBool* answer) {
    return answerBool(answer, false);
}
Status CAddOnCommand::OnShowUI(ui::Window*) {
    return kOk;
}
Status CAddOnCommand::OnDrawOverlay(render::Canvas*) {
    return kOk;
}
Status CAddOnCommand::OnMouseDown(std::int32_t, std::int32_t, std::int32_t, VariantBool* h) {
    return answerBool(h, false);
}
Status CAddOnCommand::OnMouseUp(std::int32_t, std::int32_t, std::int32_t, VariantBool* h) {
    return answerBool(h, false);
}
Status CAddOnCommand::OnMouseMove(std::int32_t, std::int32_t, std::int32_t, VariantBool* h) {
    return answerBool(h, false);
}
Status CAddOnCommand::OnDoubleClick(std::int32_t, std::int32_t, VariantBool* h) {
    return answerBool(h, false);
}
Status CAddOnCommand::OnMouseWheel(std::int32_t, std::int32_t, VariantBool* h) {
    return answerBool(h, false);
}
Status CAddOnCommand::OnSelectionChanged() {
    return kOk;
}
Status CAddOnCommand::OnRedraw() {
    return kOk;
}
Status CAddOnCommand::OnKeyDown(std::int32_t, VariantBool* h) {
    return answerBool(h, false);
}
Status CAddOnCommand::OnKeyUp(std::int32_t, VariantBool* h) {
    return answerBool(h, false);
}
Status CAddOnCommand::OnCharacter(std::int32_t, VariantBool* h) {
    return answerBool(h, false);
}
Status CAddOnCommand::OnIdle(VariantBool* moreWork) {
    return answerBool(moreWork, false);
}
Status CAddOnCommand::OnViewChanged() {
    return kOk;
}
Status CAddOnCommand::OnResume() {
    return platform::kFalse;
}
Status CAddOnCommand::On3DRender() {
    return kOk;
}

void CAddOnCommand::requestRedraw() {
    if (site_) platform::check(site_->Redraw(platform::kVariantTrue), host::IQDCommandSite::iid);
}

Status CAddOnCommand::OnTerminate() {
    return addon::guardedCall(className(), "OnTerminate", [this] { terminate(); });
}

void CAddOnCommand::terminate() {
    if (owner_ != nullptr) owner_->commandEnded();
    if (dialog_) {
        dialog_->destroy();
        dialog_.reset();
    }
    site_ = nullptr;
}
