#include "ui/message_pump.h"

#include <utility>

namespace ui {

namespace {
MessagePump& installedPump() {
    static MessagePump pump;
    return pump;
}
std::function<void()>& busyWork() {
    static std::function<void()> work;
    return work;
}
}  // namespace

void setMessagePump(MessagePump pump) {
    installedPump() = std::move(pump);
}

bool dispatchPendingMessages() {
    const bool running = installedPump() ? installedPump()() : true;
    // Taken before it runs: the work itself may hand messages on.
    if (auto work = std::exchange(busyWork(), nullptr)) work();
    return running;
}

void whenBusy(std::function<void()> work) {
    busyWork() = std::move(work);
}

}  // namespace ui
