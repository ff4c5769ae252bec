// A look inside the sound for tests and diagnostics; the game itself only calls Audio.h.
#pragma once

#include "audio/SoundBank.h"

#include <string>

bool SoundDeviceOpen();
const SoundBank& EffectBank();
bool MusicLoaded();
// The file name of the tune playing ("2.xm"); empty without one.
const std::string& MusicName();
// The order (pattern-sequence position) UpdateMusic last read from the playing tune.
int32_t MusicLastOrder();
// Stereo sample frames of the current tune that have reached the mixer; 0 without a tune.
long MusicFramesPlayed();
