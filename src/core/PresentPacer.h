// When a drawn frame reaches the screen. Game frames keep their own gate; the picture is shown at most
// once per refresh of the screen, never when nothing was drawn since the last present, and never more
// than one refresh after the frame was drawn. Times are microseconds of the program's clock.
#pragma once

#include <cstdint>
#include <limits>

class PresentPacer {
  public:
    static constexpr uint64_t NothingWaiting = std::numeric_limits<uint64_t>::max();
    static constexpr int UnknownRefreshRate = 60;

    // Refresh rate in hertz; 0 or less means the system did not say.
    void SetRefreshRate(int hertz) {
        interval = 1'000'000 / static_cast<uint64_t>(hertz > 0 ? hertz : UnknownRefreshRate);
    }
    uint64_t Interval() const { return interval; }

    // A frame was drawn (or the screen lost its picture): a present is wanted.
    void FrameDrawn() { waiting = true; }
    bool Waiting() const { return waiting; }
    // The earliest time the waiting frame may be shown; NothingWaiting when nothing waits.
    uint64_t NextPresent() const {
        if (!waiting) return NothingWaiting;
        return presentedOnce ? lastPresent + interval : 0;
    }
    bool Due(uint64_t now) const { return waiting && now >= NextPresent(); }
    void Presented(uint64_t now) {
        waiting = false;
        presentedOnce = true;
        lastPresent = now;
    }

  private:
    uint64_t interval = 1'000'000 / UnknownRefreshRate;
    uint64_t lastPresent = 0;
    bool presentedOnce = false;
    bool waiting = false;
};
