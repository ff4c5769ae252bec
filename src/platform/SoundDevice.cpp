#include "platform/SoundDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <limits>

static_assert(MixerMaxVolume == MIX_MAX_VOLUME);

namespace {
constexpr int OutputChannels = 2;
// About 23 ms a buffer: short enough that a click lands with its frame.
constexpr int BufferSamples = 1024;
// The limiter keeps every peak a little under full scale and recovers over a fifth of a second, so a
// burst of explosions ducks the mix briefly instead of flattening it.
constexpr float LimiterCeiling = 0.94f;
constexpr float LimiterReleaseSeconds = 0.2f;

std::atomic<MixWatcher> mixWatcher{nullptr};
std::atomic<void*> mixWatcherData{nullptr};

// Runs under the device lock once every channel and the music are mixed: limits the sum, then shows
// it to the watcher, which may call into the mixer.
void FinishMix(void* limiter, Uint8* stream, int length) {
    const size_t frames = static_cast<size_t>(length) / MixerBytesPerFrame;
    static_cast<MixLimiter*>(limiter)->Process(reinterpret_cast<float*>(stream), frames);
    if (MixWatcher watcher = mixWatcher.load()) watcher(stream, frames, mixWatcherData.load());
}
} // namespace

void WatchMixedOutput(MixWatcher watcher, void* data) {
    mixWatcherData.store(data);
    mixWatcher.store(watcher);
}

std::unique_ptr<SoundChunk> SoundChunk::FromWaveImage(const unsigned char* data, size_t size,
                                                      std::string& failure) {
    if (!data || size == 0 || size > static_cast<size_t>(std::numeric_limits<int>::max())) {
        failure = "no image of a usable size";
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromConstMem(data, static_cast<int>(size));
    Mix_Chunk* chunk = source ? Mix_LoadWAV_RW(source, 1) : nullptr;
    if (!chunk) {
        failure = Mix_GetError();
        return nullptr;
    }
    return std::unique_ptr<SoundChunk>(new SoundChunk(chunk));
}

SoundChunk::~SoundChunk() {
    Mix_FreeChunk(chunk);
}

std::unique_ptr<SoundDevice> SoundDevice::Open(std::string& failure) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        failure = SDL_GetError();
        return nullptr;
    }
    // No format changes allowed: SDL converts for the hardware, so the mixer and the music hook always
    // see 44100 Hz float stereo. Mixing in float leaves room above full scale for any pile-up of
    // sounds; the limiter then brings the sum under full scale.
    if (Mix_OpenAudioDevice(MixerRate, AUDIO_F32SYS, OutputChannels, BufferSamples, nullptr, 0) != 0) {
        failure = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    std::unique_ptr<SoundDevice> device(new SoundDevice());
    Mix_SetPostMix(FinishMix, &device->limiter);
    return device;
}

SoundDevice::SoundDevice() : limiter(MixerRate, LimiterCeiling, LimiterReleaseSeconds) {}

SoundDevice::~SoundDevice() {
    Mix_SetPostMix(nullptr, nullptr);
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int SoundDevice::AddChannel() {
    // Growing keeps the channels already there, playing or not.
    if (channelsTaken >= Mix_AllocateChannels(-1)) Mix_AllocateChannels(channelsTaken + 1);
    return channelsTaken++;
}

bool SoundDevice::ChannelPlaying(int channel) const {
    return Mix_Playing(channel) != 0;
}

void SoundDevice::PlayOnChannel(int channel, const SoundChunk& sound, int leftPanning, int rightPanning,
                                int volume) {
    Mix_HaltChannel(channel);
    // A channel's panning is dropped by the mixer when it stops, so it is set again for every play.
    Mix_SetPanning(channel, static_cast<Uint8>(leftPanning), static_cast<Uint8>(rightPanning));
    Mix_Volume(channel, volume);
    Mix_PlayChannel(channel, sound.chunk, 0);
}

int SoundDevice::ChannelVolume(int channel) const {
    return Mix_Volume(channel, -1);
}
