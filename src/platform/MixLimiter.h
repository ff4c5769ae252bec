// The last stage of the mix: a look-ahead peak limiter on the float stereo stream. Everything is mixed
// in floating point with room above full scale, and this stage brings every peak under the ceiling
// before the device converts to its own format, so the output never clips. The gain falls at once
// when a louder peak enters the look-ahead and recovers smoothly after it.
#pragma once

#include <array>
#include <cstddef>

class MixLimiter {
  public:
    // `ceiling` is the highest output level (1.0 is full scale); `releaseSeconds` the time the gain
    // takes to recover by about two thirds.
    MixLimiter(int sampleRate, float ceiling, float releaseSeconds);

    // Limits `frames` interleaved stereo frames in place. The output lags the input by the look-ahead.
    void Process(float* stereo, size_t frames);
    // The gain applied to the last frame (1.0 when nothing was loud).
    float Gain() const { return ceiling / envelope; }

    static constexpr size_t LookAheadFrames = 64; // about 1.5 ms at 44100 Hz

  private:
    float ceiling;
    float release; // per-frame decay of the envelope towards the signal
    float envelope;
    std::array<float, LookAheadFrames * 2> delay{};
    size_t at = 0;
};
