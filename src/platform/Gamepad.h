// Gamepads through the library's game-controller layer: every pad plugged in is opened, every pad
// pulled out is closed, at any time. Held controls join the key table the game reads; presses become
// the shell's pad events (the left stick pushed well over counts as a d-pad press there).
#pragma once

#include "core/PadButton.h"

#include <array>
#include <cstdint>

// Starts the game-controller layer (pads already plugged in arrive as plug-in events); without it the
// game goes on with keyboard and mouse, said once on stderr.
void InitialiseGamepads();
void ShutdownGamepads();
int OpenGamepadCount();

// The ship's controls held on any open pad, added to the key table by their key's scan code: d-pad or
// left stick past the dead zone = arrows, A or right trigger = Ctrl (fire), B or X = Space (special).
void AddGamepadKeys(std::array<uint8_t, 256>& keys);

// A virtual pad for headless tests, driven like a real one through the joystick layer.
// Attach returns false (with the library's reason on stderr) when it cannot be made.
bool AttachVirtualGamepad();
void DetachVirtualGamepad();
void SetVirtualPadButton(PadButton button, bool held);
// Left stick -32768 .. 32767 on each axis; right trigger 0 (released) .. 32767 (fully pressed).
void SetVirtualPadLeftStick(int16_t x, int16_t y);
void SetVirtualPadRightTrigger(int16_t value);
