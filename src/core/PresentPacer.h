// When a drawn picture reaches the screen: at most once per refresh of the screen, and never when
// nothing was drawn since the last present. Game frames keep their own clock (FrameClock); the loop
// wakes at each refresh, runs the frames due, draws once and presents. Times are microseconds of the
// program's clock.
#pragma once

#include <cstdint>

class PresentPacer {
  public:
    static constexpr int UnknownRefreshRate = 60;

    // Refresh rate in hertz; 0 or less means the system did not say.
    void SetRefreshRate(int hertz) {
        interval = 1'000'000 / static_cast<uint64_t>(hertz > 0 ? hertz : UnknownRefreshRate);
    }
    uint64_t Interval() const { return interval; }

    // A picture was drawn (or the screen lost its picture): a present is wanted.
    void FrameDrawn() { waiting = true; }
    bool Waiting() const { return waiting; }
    // The earliest time of the next present: one refresh after the last (0 before the first).
    uint64_t NextPresent() const { return presentedOnce ? lastPresent + interval : 0; }
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
