// When a drawn frame reaches the screen, and when game frames run. The picture is shown at most once
// per refresh of the screen, never when nothing was drawn since the last present, and never more than
// one refresh late (two when the game frames of a refresh could not all run in it). Game frames are
// paced against those presents: a whole number of them per refresh (three at 60 Hz), evenly spaced
// from the last present and each more than the 5 ms gate after the one before, so every present shows
// the same amount of movement. Times are microseconds of the program's clock.
#pragma once

#include <algorithm>
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
    // The most frames that fit in a refresh with more than the gate between them; at least one.
    uint64_t FramesPerPresent() const {
        return interval > FrameGate ? std::max<uint64_t>(1, (interval - 1) / FrameGate) : 1;
    }

    // When the next game frame may run: its place among the frames of this refresh, and never within
    // the gate of the last one.
    uint64_t NextFrame() const {
        if (gateOpened) return 0;
        const uint64_t afterGate = framesRun > 0 ? lastFrame + FrameGate + 1 : 0;
        if (!presentedOnce) return afterGate;
        const uint64_t inStep = lastPresent + (framesSincePresent + 1) * interval / FramesPerPresent();
        return std::max(afterGate, inStep);
    }
    bool FrameDue(uint64_t now) const { return now >= NextFrame(); }
    void FrameRun(uint64_t now) {
        gateOpened = false;
        lastFrame = now;
        ++framesRun;
        ++framesSincePresent;
    }
    // The next frame runs at once (a screen drawn out of turn).
    void OpenFrameGate() { gateOpened = true; }

    // A frame was drawn (or the screen lost its picture): a present is wanted.
    void FrameDrawn() { waiting = true; }
    bool Waiting() const { return waiting; }
    // The earliest time the waiting frame may be shown; NothingWaiting when nothing waits.
    // A loop woken late runs the refresh's remaining game frames first, so the present still shows all
    // of them; a machine too slow for them presents anyway once a refresh has been missed.
    uint64_t NextPresent() const {
        if (!waiting) return NothingWaiting;
        if (!presentedOnce) return 0;
        const bool framesMissing = framesRun > 0 && framesSincePresent < FramesPerPresent();
        return lastPresent + (framesMissing ? 2 : 1) * interval;
    }
    bool Due(uint64_t now) const { return waiting && now >= NextPresent(); }
    void Presented(uint64_t now) {
        waiting = false;
        presentedOnce = true;
        lastPresent = now;
        framesSincePresent = 0;
    }

  private:
    uint64_t interval = 1'000'000 / UnknownRefreshRate;
    uint64_t lastPresent = 0;
    bool presentedOnce = false;
    bool waiting = false;
    static constexpr uint64_t FrameGate = 5000; // a game frame only when more than this has passed
    uint64_t lastFrame = 0;
    uint64_t framesRun = 0;
    uint64_t framesSincePresent = 0;
    bool gateOpened = false;
};
