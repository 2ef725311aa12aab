#include "ui/prompts.h"

#include "ui/headless_prompts.h"

namespace ui {

namespace {
std::shared_ptr<Prompts>& current() {
    static std::shared_ptr<Prompts> service;
    return service;
}
}  // namespace

Prompts& prompts() {
    auto& service = current();
    if (!service) service = std::make_shared<HeadlessPrompts>();
    return *service;
}

void setPrompts(std::shared_ptr<Prompts> service) {
    current() = std::move(service);
}

void showMessage(const std::string& text) {
    prompts().messageBox(text, kMessageCaption, MessageIcon::None, MessageButtons::Ok);
}

std::shared_ptr<HeadlessPrompts> installHeadlessPrompts() {
    auto service = std::make_shared<HeadlessPrompts>();
    setPrompts(service);
    return service;
}

}  // namespace ui
