// Pictures the game makes from the pack's own at load time: the player's shots recoloured towards the
// ship's ice-blue (they are the enemy's sheets turned over, so untouched they read as incoming fire),
// and a white flash of the ship's sheet shown for a moment when the ship is hit.
#pragma once

#include "graphics/GraphicsState.h"
#include "platform/Surface.h"

#include <cstdint>
#include <memory>

// Recolours PlayerShotSprites in place and makes ShipHitFlashSprite from game sprite 8. Run after the
// pack is loaded; a missing picture is skipped.
void MakeDerivedSprites();
void FreeDerivedSprites();

// The ship-coloured version of one shot pixel: its brightness mapped onto a ramp from deep blue
// through ice blue to white, so shapes and shading stay and every colour of the enemy's is gone.
uint32_t PlayerShotColour(uint32_t rgb);
// One pixel of the ship lit by a hit: most of the way to white.
uint32_t HitFlashColour(uint32_t rgb);
