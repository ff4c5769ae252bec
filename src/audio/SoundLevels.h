// Pan and volume of the effect bank, kept in hundredths of a decibel: pan -10000 is the left side only,
// 0 the centre, +10000 the right side only; volume 0 is full loudness, -10000 silence. The mixer wants
// linear gains, so the attenuated side gets 10^(-|value| / 2000).
#pragma once

#include <cstdint>

inline constexpr int32_t PanFullLeft = -10000;
inline constexpr int32_t PanFullRight = 10000;
inline constexpr int32_t VolumeFull = 0;
inline constexpr int32_t VolumeSilent = -10000;

// An event's screen position: pan follows x (centre at 400), loudness grows down the screen.
int32_t PanForX(int32_t x);
int32_t VolumeForY(int32_t y);

// Linear gain of an attenuation in hundredths of a decibel (its sign is ignored).
double GainForAttenuation(int32_t hundredthsOfDecibel);

struct StereoGains {
    double left;
    double right;
};
// Negative pan turns the right side down, positive the left.
StereoGains GainsForPan(int32_t pan);

// What the mixer is told for one play: each side's panning 0 .. 255 and the channel volume 0 .. 128.
struct MixerLevels {
    int left;
    int right;
    int volume;
    bool operator==(const MixerLevels&) const = default;
};
MixerLevels MixerLevelsFor(int32_t pan, int32_t volume);

// The tunes play 3 dB above their written level, so the game tune stays heard in a fight; the
// limiter at the end of the mix keeps the sum from clipping.
inline constexpr float MusicGain = 1.41f;
