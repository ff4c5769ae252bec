// The pad's buttons as the keys of the key table, by how a screen lets the pad speak (ScreenHome.h).
#pragma once

#include "core/PadButton.h"
#include "main/ScreenHome.h"

#include <cstdint>

// The key a pad button stands for on a screen with these pad keys; 0 for none.
uint16_t KeyForPadButton(PadKeys keys, PadButton button);
