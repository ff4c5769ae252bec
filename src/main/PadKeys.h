// The pad's buttons as the keys of the key table, by how a screen lets the pad speak (ScreenHome.h),
// and, in play and its pause, the player's own keys and buttons for the pause and the quit question.
#pragma once

#include "core/PadButton.h"
#include "main/ScreenHome.h"

#include <cstdint>

// The key a pad button stands for on a screen with these pad keys; 0 for none.
uint16_t KeyForPadButton(PadKeys keys, PadButton button);
// In play a key speaks by its place on the keyboard: "P" for the keys the player gave the pause,
// "Escape" for those of the quit question, 0 (nothing) for any other.
uint16_t PlayKeyAt(uint8_t scanCode);
