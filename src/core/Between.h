// Where something stands between two game frames, for the picture only: the rules never read it.
#pragma once

#include <cmath>
#include <cstdint>

// Farther than anything moves in one game frame: such a change (a wrap, a re-entry, a restart) is drawn
// as a jump, never as a slide.
inline constexpr int JumpDistance = 40;

// `change` of the way on from `before` by `fraction`, or straight to `now` when it is a jump.
inline int16_t Slide(int16_t before, int16_t now, int change, float fraction) {
    if (change > JumpDistance || change < -JumpDistance) return now;
    return static_cast<int16_t>(before +
                                static_cast<int>(std::lround(static_cast<float>(change) * fraction)));
}

// `fraction` 0 gives where it stood after the frame before, 1 where it stands now.
inline int16_t Between(int16_t before, int16_t now, float fraction) {
    return Slide(before, now, now - before, fraction);
}

inline int16_t Between(float before, float now, float fraction) {
    const float change = now - before;
    const float drawn = change > JumpDistance || change < -JumpDistance ? now : before + change * fraction;
    return static_cast<int16_t>(std::nearbyint(drawn));
}

// A value that counts round 0 .. period - 1 (a scrolling tile's offset) steps forward across its wrap;
// the result may reach `period`, which shows as 0 does.
inline int16_t BetweenWrapping(int16_t before, int16_t now, int16_t period, float fraction) {
    const int change = now - before;
    return Slide(before, now, change < -period / 2 ? change + period : change, fraction);
}
