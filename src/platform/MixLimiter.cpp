#include "platform/MixLimiter.h"

#include <algorithm>
#include <cmath>

MixLimiter::MixLimiter(int sampleRate, float ceiling, float releaseSeconds)
    : ceiling(ceiling), release(std::exp(-1.0f / (releaseSeconds * static_cast<float>(sampleRate)))),
      envelope(ceiling) {}

// The envelope jumps to a peak as it enters the delay line and decays no faster than `release`, so
// by the time the peak leaves the line the gain is at most ceiling / (peak * release^LookAheadFrames);
// the final clamp only ever trims that sliver.
void MixLimiter::Process(float* stereo, size_t frames) {
    for (size_t frame = 0; frame < frames; ++frame) {
        float& left = stereo[2 * frame];
        float& right = stereo[2 * frame + 1];
        const float peak = std::max({std::fabs(left), std::fabs(right), ceiling});
        envelope = peak > envelope ? peak : ceiling + (envelope - ceiling) * release;
        envelope = std::max(envelope, peak);
        const float gain = ceiling / envelope;
        const float delayedLeft = delay[2 * at];
        const float delayedRight = delay[2 * at + 1];
        delay[2 * at] = left;
        delay[2 * at + 1] = right;
        at = (at + 1) % LookAheadFrames;
        left = std::clamp(delayedLeft * gain, -1.0f, 1.0f);
        right = std::clamp(delayedRight * gain, -1.0f, 1.0f);
    }
}
