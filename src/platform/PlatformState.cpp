#include "platform/PlatformState.h"

#include "platform/Input.h"

void ResetPlatformState() {
    KeyState.fill(0);
    MouseX = MouseY = 0;
    MouseActive = false;
    PlayerControls = DefaultControlBindings();
    ClearTestInput();
    AcquireKeyboard();
    OpenerFailures = 0;
}
