#pragma once
// Paces the frames of the contour animation: hands waiting window messages on between frames and
// waits for the frame time. Headless runs install a pacer that does not wait.
#include <chrono>
#include <memory>

namespace results {

class AnimationPacer {
  public:
    virtual ~AnimationPacer() = default;
    // Dispatches waiting window messages; false when a quit message ends the animation.
    virtual bool dispatchMessages() = 0;
    // Returns when the frame time has passed since the previous frame.
    virtual void waitForFrame() = 0;
};

// Frames 50 ms apart, measured on the steady clock; the waiting messages go to the program's pump.
class RealTimePacer : public AnimationPacer {
  public:
    bool dispatchMessages() override;
    void waitForFrame() override;

  private:
    std::chrono::steady_clock::time_point previous_{};
};

// No waiting: every frame is drawn at once (tests).
class ImmediatePacer : public AnimationPacer {
  public:
    bool dispatchMessages() override;
    void waitForFrame() override {}
};

inline constexpr std::chrono::milliseconds kFrameTime{50};

AnimationPacer& animationPacer();
// Installs the program's pacer; null restores the real-time one.
void setAnimationPacer(std::shared_ptr<AnimationPacer> pacer);

}  // namespace results
