#include "DXCtrl/MenuClick.h"

#include "audio/Audio.h"
#include "platform/Input.h"

namespace {
uint32_t clicksPlayed = 0;
}

void PlayMenuClickAtPointer() {
    ++clicksPlayed;
    PlaySoundEffect(MouseX, MouseY, SoundMenuClick);
}

void PlayMenuClickDirect() {
    ++clicksPlayed;
    PlaySoundDirect(SoundMenuClick);
}

uint32_t MenuClicksPlayed() {
    return clicksPlayed;
}
