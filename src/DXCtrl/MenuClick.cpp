#include "DXCtrl/MenuClick.h"

#include "DXCtrl/DXCtrlState.h"
#include "audio/Audio.h"
#include "platform/Input.h"

uint32_t MenuClicksCounted = 0;

void PlayMenuClickAtPointer() {
    ++MenuClicksCounted;
    PlaySoundEffect(MouseX, MouseY, SoundMenuClick);
}

void PlayMenuClickDirect() {
    ++MenuClicksCounted;
    PlaySoundDirect(SoundMenuClick);
}

uint32_t MenuClicksPlayed() {
    return MenuClicksCounted;
}
