#include "results/animation_pacer.h"

#include <thread>

#include "ui/message_pump.h"

namespace results {
namespace {
std::shared_ptr<AnimationPacer>& installed() {
    static std::shared_ptr<AnimationPacer> pacer = std::make_shared<RealTimePacer>();
    return pacer;
}
}  // namespace

bool RealTimePacer::dispatchMessages() {
    return ui::dispatchPendingMessages();
}

bool ImmediatePacer::dispatchMessages() {
    return ui::dispatchPendingMessages();
}

void RealTimePacer::waitForFrame() {
    const auto due = previous_ + kFrameTime;
    if (std::chrono::steady_clock::now() < due) std::this_thread::sleep_until(due);
    previous_ = std::chrono::steady_clock::now();
}

AnimationPacer& animationPacer() {
    return *installed();
}

void setAnimationPacer(std::shared_ptr<AnimationPacer> pacer) {
    installed() = pacer ? std::move(pacer) : std::make_shared<RealTimePacer>();
}

}  // namespace results
