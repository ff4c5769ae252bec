#include "platform/MusicPlayer.h"

#include "platform/SoundDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <xmp.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {
std::atomic<int> loadedSongs{0};
std::atomic<int> peakLoadedSongs{0};
constexpr int ScratchFrames = 1024;
constexpr float FullScale16 = 32768.0f;

std::string LoadFailure(int code, int savedErrno) {
    switch (-code) {
    case XMP_ERROR_SYSTEM:
        return std::strerror(savedErrno);
    case XMP_ERROR_FORMAT:
        return "not a module the player knows";
    case XMP_ERROR_LOAD:
        return "the module is damaged";
    case XMP_ERROR_DEPACK:
        return "the packed module cannot be unpacked";
    default:
        return "the player refused it (error " + std::to_string(-code) + ")";
    }
}
} // namespace

// The libxmp context with its module; the audio thread reads it through the music hook.
struct Song::Player {
    xmp_context context = nullptr;
    bool moduleLoaded = false;
    bool started = false;
    bool hooked = false;
    std::atomic<int> order{0};
    std::atomic<long> framesPlayed{0};
    std::atomic<float> gain{1.0f};
    std::array<int16_t, ScratchFrames * 2> scratch{}; // libxmp renders signed 16-bit stereo

    Player() : context(xmp_create_context()) {}
    ~Player() {
        // Unhooking waits for the audio thread to leave the hook, so nothing reads the context after.
        if (hooked) Mix_HookMusic(nullptr, nullptr);
        if (started) xmp_end_player(context);
        if (moduleLoaded) xmp_release_module(context);
        if (context) xmp_free_context(context);
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Runs on the audio thread: renders the next stretch of the song into the device's float stream
    // at the song's gain, looping at its end.
    static void Fill(void* data, Uint8* stream, int length) {
        auto* player = static_cast<Player*>(data);
        auto* out = reinterpret_cast<float*>(stream);
        const int frames = length / MixerBytesPerFrame;
        const float scale = player->gain.load(std::memory_order_relaxed) / FullScale16;
        for (int done = 0; done < frames;) {
            const int count = std::min(frames - done, ScratchFrames);
            if (xmp_play_buffer(player->context, player->scratch.data(), count * 2 * sizeof(int16_t), 0) !=
                0) {
                std::fill(out + 2 * done, out + 2 * frames, 0.0f);
                return;
            }
            for (int i = 0; i < 2 * count; ++i)
                out[2 * done + i] = player->scratch[static_cast<size_t>(i)] * scale;
            done += count;
        }
        xmp_frame_info info{};
        xmp_get_frame_info(player->context, &info);
        player->order.store(info.pos, std::memory_order_relaxed);
        player->framesPlayed.fetch_add(frames, std::memory_order_relaxed);
    }
};

Song::Song(std::unique_ptr<Player> player) : player(std::move(player)) {
    const int now = ++loadedSongs;
    int peak = peakLoadedSongs.load();
    while (now > peak && !peakLoadedSongs.compare_exchange_weak(peak, now)) {
    }
}

Song::~Song() {
    player.reset();
    --loadedSongs;
}

std::unique_ptr<Song> Song::LoadFromFile(const std::string& path, std::string& failure) {
    auto player = std::make_unique<Player>();
    if (!player->context) {
        failure = "the player cannot start";
        return nullptr;
    }
    errno = 0;
    const int result = xmp_load_module(player->context, path.c_str());
    if (result != 0) {
        failure = LoadFailure(result, errno);
        return nullptr;
    }
    player->moduleLoaded = true;
    return std::unique_ptr<Song>(new Song(std::move(player)));
}

bool Song::Play(std::string& failure) {
    if (player->hooked) return true;
    if (!player->started) {
        const int result = xmp_start_player(player->context, MixerRate, 0);
        if (result != 0) {
            failure = "the player cannot start it (error " + std::to_string(-result) + ")";
            return false;
        }
        player->started = true;
    }
    Mix_HookMusic(Player::Fill, player.get());
    player->hooked = true;
    return true;
}

void Song::SetGain(float gain) {
    player->gain.store(gain, std::memory_order_relaxed);
}

int Song::GetOrder() const {
    return player->order.load(std::memory_order_relaxed);
}

long Song::FramesPlayed() const {
    return player->framesPlayed.load(std::memory_order_relaxed);
}

int Song::LoadedCount() {
    return loadedSongs.load();
}

int Song::PeakLoadedCount() {
    return peakLoadedSongs.load();
}

void Song::ResetPeakLoadedCount() {
    peakLoadedSongs.store(loadedSongs.load());
}
