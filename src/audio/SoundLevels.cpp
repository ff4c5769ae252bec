#include "audio/SoundLevels.h"

#include "platform/SoundDevice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr int32_t ScreenCentreX = 400;
constexpr int32_t PanPerPixel = 10;
constexpr int32_t QuietestY = 800;             // y = 800 would be full loudness
constexpr double HundredthsPerDecade = 2000.0; // 20 dB per factor of ten, in hundredths

int32_t Clamp(int64_t value, int32_t low, int32_t high) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, low, high));
}

int ScaleGain(double gain, int full) {
    return static_cast<int>(std::lround(gain * full));
}
} // namespace

// Positions far off the screen stay at the ends of the scales instead of wrapping.
int32_t PanForX(int32_t x) {
    return Clamp((static_cast<int64_t>(x) - ScreenCentreX) * PanPerPixel, PanFullLeft, PanFullRight);
}

int32_t VolumeForY(int32_t y) {
    return Clamp(static_cast<int64_t>(y) - QuietestY, VolumeSilent, VolumeFull);
}

double GainForAttenuation(int32_t hundredthsOfDecibel) {
    const int32_t attenuation =
        Clamp(std::llabs(static_cast<int64_t>(hundredthsOfDecibel)), 0, -VolumeSilent);
    return std::pow(10.0, -attenuation / HundredthsPerDecade);
}

StereoGains GainsForPan(int32_t pan) {
    const double attenuated = GainForAttenuation(pan);
    if (pan < 0) return {1.0, attenuated};
    return {attenuated, 1.0};
}

MixerLevels MixerLevelsFor(int32_t pan, int32_t volume) {
    const StereoGains gains = GainsForPan(pan);
    return {ScaleGain(gains.left, MixerMaxPanning), ScaleGain(gains.right, MixerMaxPanning),
            ScaleGain(GainForAttenuation(volume), MixerMaxVolume)};
}
