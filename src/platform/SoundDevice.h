// The sound output: SDL's audio device driven by SDL_mixer at 44100 Hz, float stereo, through a peak
// limiter. Effects play on numbered mixing channels; the music is fed in by the mixer's music hook
// (MusicPlayer.h).
#pragma once

#include "platform/MixLimiter.h"

#include <cstddef>
#include <memory>
#include <string>

struct Mix_Chunk;

// The mixer's scales: a channel's volume runs 0 .. 128, each side of its panning 0 .. 255.
inline constexpr int MixerMaxVolume = 128;
inline constexpr int MixerMaxPanning = 255;
inline constexpr int MixerRate = 44100;
inline constexpr int MixerBytesPerFrame = 2 * sizeof(float); // float stereo

// Sees every finished buffer of the mix on the audio thread, under the device lock: `samples`
// interleaved stereo values of the device's format, `frames` frames. For measuring tools, which may
// play sounds from it for the next buffer.
using MixWatcher = void (*)(const void* samples, size_t frames, void* data);
// Null stops watching. Set it while no sound device is open, or accept a buffer or two of lag.
void WatchMixedOutput(MixWatcher watcher, void* data);

// One sound, decoded from a RIFF WAVE image and converted to the device's format.
class SoundChunk {
  public:
    // Null (and the reason in `failure`) when the image cannot be decoded.
    static std::unique_ptr<SoundChunk> FromWaveImage(const unsigned char* data, size_t size,
                                                     std::string& failure);
    ~SoundChunk();
    SoundChunk(const SoundChunk&) = delete;
    SoundChunk& operator=(const SoundChunk&) = delete;

  private:
    explicit SoundChunk(Mix_Chunk* chunk) : chunk(chunk) {}
    Mix_Chunk* chunk;
    friend class SoundDevice;
};

class SoundDevice {
  public:
    // Opens the audio subsystem and the mixer; null (and the reason in `failure`) without a device.
    static std::unique_ptr<SoundDevice> Open(std::string& failure);
    // Free every SoundChunk and the playing song before the device closes.
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // A mixing channel of its own for the caller; the mixer's channel count grows as needed.
    int AddChannel();
    bool ChannelPlaying(int channel) const;
    // Stops whatever the channel played, sets its levels (mixer scales above) and starts the chunk
    // once from its beginning.
    void PlayOnChannel(int channel, const SoundChunk& sound, int leftPanning, int rightPanning, int volume);
    int ChannelVolume(int channel) const;

  private:
    SoundDevice();
    int channelsTaken = 0;
    MixLimiter limiter; // runs on the audio thread, after every channel and the music are mixed
};
