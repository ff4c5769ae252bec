// The program-wide values of platform, declared here and nowhere else, and their reset.
#pragma once

#include "core/ControlBindings.h"

#include <array>
#include <atomic>
#include <cstdint>

// Keyboard scan code -> KeyDown while the key is held (see Input.h).
extern std::array<uint8_t, 256> KeyState;
// The pointer in frame coordinates.
extern int32_t MouseX;
extern int32_t MouseY;
// The menus follow the pointer: set by pointer motion and activation, cleared by a key press.
extern bool MouseActive;

// The player's keys and pad buttons in force (read from Controls.cfg at start-up, changed on the
// controls screen); the input reads the game's controls through them.
extern ControlBindings PlayerControls;

// Openers that ended in failure, counted by the thread that waits for each, not yet reported (see
// Launcher.h).
extern std::atomic<int> OpenerFailures;

// Back to the values at program start: no key held, the pointer at the origin and not followed, the
// default controls, no test input, the keyboard acquired, no opener failure waiting to be reported.
void ResetPlatformState();
