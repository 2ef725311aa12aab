#pragma once
// Window messages handed on from inside a handler that runs a loop of its own (the contour
// animation dispatches the waiting messages between its frames, so the view keeps turning and the
// dialogs stay usable). The program installs its window system's pump; without one, as in headless
// runs, nothing is waiting.
#include <functional>

namespace ui {

// Dispatches the waiting messages; false when the program is quitting.
using MessagePump = std::function<bool()>;
void setMessagePump(MessagePump pump);

// Dispatches what is waiting, then runs the work given to `whenBusy`, if any; false when the
// program is quitting.
bool dispatchPendingMessages();

// Work to do, once, the next time a handler's own loop hands messages on: what a person does while
// the loop runs (a script's lines during an animation). Null takes it back.
void whenBusy(std::function<void()> work);

}  // namespace ui
