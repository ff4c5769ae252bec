// Gamepads through the library's game-controller layer: every pad plugged in is opened, every pad
// pulled out is closed, at any time. Held buttons become the game's controls as the player bound them;
// presses become the shell's pad events (the left stick pushed well over counts as a d-pad press there,
// a trigger pulled as a press of that trigger).
#pragma once

#include "core/ControlBindings.h"
#include "core/PadButton.h"

#include <array>
#include <cstdint>

// Starts the game-controller layer (pads already plugged in arrive as plug-in events); without it the
// game goes on with keyboard and mouse, said once on stderr.
void InitialiseGamepads();
void ShutdownGamepads();
int OpenGamepadCount();

// The frame controls (GameControlBit) held on any open pad: the pad buttons the player gave them, and
// the left stick leaning past the dead zone for the four directions.
uint8_t PadControlsHeld(const ControlBindings& controls);
// How the pad last pressed (or else the first one open) labels its buttons; the common labels when
// no pad is open.
PadLabels OpenPadLabels();
// The labels of a pad of the library's type (an SDL_GameControllerType).
PadLabels PadLabelsOfType(int controllerType);

// A virtual pad for headless tests, driven like a real one through the joystick layer.
// Attach returns false (with the library's reason on stderr) when it cannot be made.
bool AttachVirtualGamepad();
void DetachVirtualGamepad();
void SetVirtualPadButton(PadButton button, bool held);
// Left stick -32768 .. 32767 on each axis; right trigger 0 (released) .. 32767 (fully pressed).
void SetVirtualPadLeftStick(int16_t x, int16_t y);
void SetVirtualPadRightTrigger(int16_t value);
