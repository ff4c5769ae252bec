// The program-wide values of graphics, declared here and nowhere else, and their reset.
#pragma once

#include "core/SlotList.h"
#include "graphics/PackRecords.h"

#include <memory>

class Surface;

inline constexpr int GameSpriteCount = GameRecordCount;
inline constexpr int InterfaceSpriteCount = InterfaceRecordCount;
inline constexpr int PlayerShotSpriteCount = 9;

// The sprite store: every picture of the data pack on its own surface (see SpriteStore.h).
extern SlotList<Surface, GameSpriteCount> GameSprites;
extern SlotList<Surface, InterfaceSpriteCount> InterfaceSprites;
extern SlotList<Surface, PlayerShotSpriteCount> PlayerShotSprites;

// The white flash of the ship's sheet, made from the pack at load time (see DerivedSprites.h).
extern std::unique_ptr<Surface> ShipHitFlashSprite;

// Back to the values at program start: an empty sprite store and no derived pictures.
void ResetGraphicsState();
