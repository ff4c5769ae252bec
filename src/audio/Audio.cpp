// The sound-effect bank and the music on the sound device. Without a device every call is silent; a
// missing or broken tune is reported once per run and the game goes on without it.
#include "audio/Audio.h"

#include "audio/AudioState.h"
#include "audio/SoundLevels.h"
#include "core/GameFolders.h"
#include "platform/MusicPlayer.h"
#include "platform/SoundDevice.h"

#include <cstdio>
#include <set>

namespace {
const std::string MusicFolder = "sound/";

bool audioInitialised = false;
bool effectsEnabled = true; // as the shell last told SetSoundEnabled
std::unique_ptr<SoundDevice> DXSound1;
SoundBank DXWaveList1;
std::unique_ptr<Song> CurrentSong;
std::string CurrentSongName;
int32_t LastOrder = 0;
std::set<std::string> reportedTunes;

void ReportTuneOnce(const std::string& path, const std::string& why) {
    if (!reportedTunes.insert(path).second) return;
    std::fprintf(stderr, "vantorix: the tune %s cannot be played (%s); the game goes on without it\n",
                 path.c_str(), why.c_str());
}
} // namespace

void InitialiseAudio() {
    if (audioInitialised) return;
    audioInitialised = true;
    std::string failure;
    DXSound1 = SoundDevice::Open(failure);
    if (!DXSound1) {
        std::fprintf(stderr, "vantorix: no sound device (%s); the game runs silently\n", failure.c_str());
        return;
    }
    DXWaveList1.Load(*DXSound1);
}

void ShutdownAudio() {
    CurrentSong.reset();
    CurrentSongName.clear();
    LastOrder = 0;
    DXWaveList1.Free();
    DXSound1.reset();
    reportedTunes.clear();
    audioInitialised = false;
    effectsEnabled = true;
}

void PlaySoundEffect(int x, int y, int index) {
    if (!effectsEnabled) return;
    DXWaveList1.SetPan(index, PanForX(x));
    DXWaveList1.SetVolume(index, VolumeForY(y));
    DXWaveList1.Play(index);
}

void PlaySoundDirect(int index) {
    DXWaveList1.Play(index);
}

void SetSoundEnabled(bool enabled) {
    effectsEnabled = enabled;
    DXWaveList1.SetVolumeOfAll(enabled ? VolumeFull : VolumeSilent);
}

void PlayMusic(const std::string& name) {
    StopMusic();
    if (!DXSound1) return;
    const std::string path = DataFolder + MusicFolder + name;
    std::string failure;
    CurrentSong = Song::LoadFromFile(path, failure);
    if (CurrentSong) CurrentSong->SetGain(MusicGain);
    if (CurrentSong && !CurrentSong->Play(failure)) CurrentSong.reset();
    if (!CurrentSong) ReportTuneOnce(path, failure);
    if (CurrentSong) CurrentSongName = name;
}

void StopMusic() {
    CurrentSong.reset();
    CurrentSongName.clear();
    LastOrder = 0;
}

// Tunes loop inside the player, so the order is only watched here, never acted on.
void UpdateMusic() {
    if (CurrentSong) LastOrder = CurrentSong->GetOrder();
}

bool SoundDeviceOpen() {
    return DXSound1 != nullptr;
}

const SoundBank& EffectBank() {
    return DXWaveList1;
}

bool MusicLoaded() {
    return CurrentSong != nullptr;
}

const std::string& MusicName() {
    return CurrentSongName;
}

int32_t MusicLastOrder() {
    return LastOrder;
}

long MusicFramesPlayed() {
    return CurrentSong ? CurrentSong->FramesPlayed() : 0;
}
