// The sound-effect bank: seven items, each one wave with the pan and volume last set on it and the
// mixing channels ("copies") it has needed so far. A play takes the first copy that is silent and adds
// a copy when all are sounding, so overlapping events layer and nothing is cut short.
// Converting the waves to the device's format takes a while, so it runs on a thread of its own while
// the first frames are drawn, the menu click first; a play that comes before its wave is ready waits
// for that wave only.
#pragma once

#include "platform/SoundDevice.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

inline constexpr int SoundItemCount = 7;

struct SoundItem {
    std::unique_ptr<SoundChunk> Wave; // none without a device or when its image would not decode
    std::vector<int> Copies;          // the item's mixing channels
    int32_t Pan = 0;
    int32_t Volume = 0;
    int LastCopy = -1; // the channel of the latest play
};

class SoundBank {
  public:
    SoundBank() = default;
    ~SoundBank();
    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;

    // Starts decoding every item from the built-in images; an item that fails says so once and stays
    // silent. Pan and volume already set are kept.
    void Load(SoundDevice& device);
    // Frees the waves (before the device closes) and forgets pan, volume and copies.
    void Free();

    // Out-of-range indexes are ignored by every operation.
    void SetPan(int index, int32_t pan);
    void SetVolume(int index, int32_t volume);
    void SetVolumeOfAll(int32_t volume);
    void Play(int index);

    // For the tests and for diagnostics.
    const SoundItem* Item(int index) const;
    int PlayingCopies(int index) const;
    // The mixer volume the latest play of the item started with, -1 when it has not played.
    int LastPlayVolume(int index) const;

  private:
    SoundItem* MutableItem(int index);
    int FreeCopy(SoundItem& item);
    void DecodeWaves();
    // Returns once the item's wave is decoded (or has failed).
    void WaitForWave(int index) const;
    void FinishDecoding();

    SoundDevice* device = nullptr;
    std::array<SoundItem, SoundItemCount> items;
    // Items below this count have their final wave; the decoder writes nothing else of an item.
    std::atomic<int> decodedCount{SoundItemCount};
    std::thread decoder;
};
