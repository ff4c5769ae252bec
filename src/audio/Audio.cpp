// Silent until the sound device code lands.
#include "audio/Audio.h"

void InitialiseAudio() {}
void ShutdownAudio() {}
void PlaySoundEffect(int, int, int) {}
void PlaySoundDirect(int) {}
void SetSoundEnabled(bool) {}
void PlayMusic(const std::string&) {}
void StopMusic() {}
void UpdateMusic() {}
