#include "audio/SoundBank.h"

#include "audio/SoundEffectImages.h"
#include "audio/SoundLevels.h"

#include <cstdio>
#include <string>

namespace {
constexpr std::array<const char*, SoundItemCount> SoundItemNames = {
    "MenuClick", "Hit", "Laser_1", "Plasma", "Rocket", "Skeel", "NewStage",
};
static_assert(std::tuple_size_v<decltype(SoundEffectImages)> == SoundItemCount);

// Room for the copies a busy moment needs (ten mega-bomb blasts at once), so plays seldom allocate.
constexpr size_t ExpectedCopies = 16;
} // namespace

SoundBank::~SoundBank() {
    FinishDecoding();
}

void SoundBank::Load(SoundDevice& soundDevice) {
    FinishDecoding();
    device = &soundDevice;
    for (SoundItem& item : items)
        item.Copies.reserve(ExpectedCopies);
    decodedCount.store(0);
    decoder = std::thread([this] { DecodeWaves(); });
}

void SoundBank::DecodeWaves() {
    for (int index = 0; index < SoundItemCount; ++index) {
        const SoundEffectImage& image = SoundEffectImages[static_cast<size_t>(index)];
        std::string failure;
        items[static_cast<size_t>(index)].Wave = SoundChunk::FromWaveImage(image.data, image.size, failure);
        if (!items[static_cast<size_t>(index)].Wave)
            std::fprintf(stderr, "vantorix: the sound effect \"%s\" cannot be read (%s); it stays silent\n",
                         SoundItemNames[static_cast<size_t>(index)], failure.c_str());
        decodedCount.store(index + 1, std::memory_order_release);
        decodedCount.notify_all();
    }
}

void SoundBank::WaitForWave(int index) const {
    int decoded = decodedCount.load(std::memory_order_acquire);
    while (decoded <= index) {
        decodedCount.wait(decoded, std::memory_order_acquire);
        decoded = decodedCount.load(std::memory_order_acquire);
    }
}

void SoundBank::FinishDecoding() {
    if (decoder.joinable()) decoder.join();
}

void SoundBank::Free() {
    // The copies' channels belong to the device; the waves must go before it closes.
    FinishDecoding();
    items = {};
    device = nullptr;
}

SoundItem* SoundBank::MutableItem(int index) {
    if (index < 0 || index >= SoundItemCount) return nullptr;
    return &items[static_cast<size_t>(index)];
}

const SoundItem* SoundBank::Item(int index) const {
    if (index < 0 || index >= SoundItemCount) return nullptr;
    WaitForWave(index);
    return &items[static_cast<size_t>(index)];
}

void SoundBank::SetPan(int index, int32_t pan) {
    if (SoundItem* item = MutableItem(index)) item->Pan = pan;
}

void SoundBank::SetVolume(int index, int32_t volume) {
    if (SoundItem* item = MutableItem(index)) item->Volume = volume;
}

void SoundBank::SetVolumeOfAll(int32_t volume) {
    for (SoundItem& item : items)
        item.Volume = volume;
}

int SoundBank::FreeCopy(SoundItem& item) {
    for (int channel : item.Copies)
        if (!device->ChannelPlaying(channel)) return channel;
    item.Copies.push_back(device->AddChannel());
    return item.Copies.back();
}

void SoundBank::Play(int index) {
    SoundItem* item = MutableItem(index);
    if (!item || !device) return;
    WaitForWave(index);
    if (!item->Wave) return;
    const int channel = FreeCopy(*item);
    const MixerLevels levels = MixerLevelsFor(item->Pan, item->Volume);
    device->PlayOnChannel(channel, *item->Wave, levels.left, levels.right, levels.volume);
    item->LastCopy = channel;
}

int SoundBank::PlayingCopies(int index) const {
    const SoundItem* item = Item(index);
    if (!item || !device) return 0;
    int playing = 0;
    for (int channel : item->Copies)
        playing += device->ChannelPlaying(channel) ? 1 : 0;
    return playing;
}

int SoundBank::LastPlayVolume(int index) const {
    const SoundItem* item = Item(index);
    if (!item || !device || item->LastCopy < 0) return -1;
    return device->ChannelVolume(item->LastCopy);
}
