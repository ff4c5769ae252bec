// When game frames run in real time. Every frame is GameFrameMs of game time; a frame runs once real
// time has passed its start, so a picture drawn at any moment lies between the last two frames run and
// shows the world as it stands at that moment. After a stall at most MostFramesAtOnce frames run before
// the next picture and the rest are let go: play slows down for a moment rather than jump. Times are
// microseconds of the program's clock.
#pragma once

#include "core/GameInput.h"

#include <algorithm>
#include <cstdint>

class FrameClock {
  public:
    static constexpr uint64_t FrameMicroseconds = GameFrameMs * 1000;
    static constexpr uint32_t MostFramesAtOnce = 4;

    // Frames count from `now`: the first one is due as soon as time has moved on.
    void Restart(uint64_t now) {
        origin = now;
        framesRun = 0;
    }

    // How many frames to run now: those whose start has passed, at most MostFramesAtOnce. Counts them
    // as run.
    uint32_t TakeDueFrames(uint64_t now) {
        if (now < origin) Restart(now); // a clock set back (tests) starts afresh
        const uint64_t started = (now - origin + FrameMicroseconds - 1) / FrameMicroseconds;
        const uint64_t due = started > framesRun ? started - framesRun : 0;
        if (due > MostFramesAtOnce) {
            // The frames beyond these are let go: the last one run ends now.
            framesRun += MostFramesAtOnce;
            origin = now - framesRun * FrameMicroseconds;
            return MostFramesAtOnce;
        }
        framesRun += due;
        return static_cast<uint32_t>(due);
    }

    // The next frame runs at once, whenever it was due (a screen drawn out of turn).
    void RunNextFrameNow(uint64_t now) {
        if (framesRun * FrameMicroseconds + origin >= now) origin = now - framesRun * FrameMicroseconds - 1;
    }

    // Where `now` lies between the start and the end of the last frame run: 0 .. 1.
    float Fraction(uint64_t now) const {
        if (framesRun == 0) return 1;
        const uint64_t lastStart = origin + (framesRun - 1) * FrameMicroseconds;
        if (now <= lastStart) return 0;
        return static_cast<float>(std::min<uint64_t>(now - lastStart, FrameMicroseconds)) / FrameMicroseconds;
    }

    // When the next frame becomes due.
    uint64_t NextFrameDue() const { return origin + framesRun * FrameMicroseconds + 1; }

  private:
    uint64_t origin = 0;
    uint64_t framesRun = 0;
};
