#include "platform/PlatformState.h"

#include "platform/Input.h"

void ResetPlatformState() {
    KeyState.fill(0);
    MouseX = MouseY = 0;
    MouseActive = false;
    ClearTestInput();
    AcquireKeyboard();
    OpenerFailures = 0;
}
