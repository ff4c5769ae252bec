// The program-wide values of graphics, declared here and nowhere else, and their reset.
#pragma once

#include "core/SlotList.h"
#include "graphics/PackRecords.h"

class Surface;

inline constexpr int GameSpriteCount = GameRecordCount;
inline constexpr int InterfaceSpriteCount = InterfaceRecordCount;
inline constexpr int PlayerShotSpriteCount = 9;

// The sprite store: every picture of the data pack on its own surface (see SpriteStore.h).
extern SlotList<Surface, GameSpriteCount> GameSprites;
extern SlotList<Surface, InterfaceSpriteCount> InterfaceSprites;
extern SlotList<Surface, PlayerShotSpriteCount> PlayerShotSprites;

// Back to the values at program start: an empty sprite store.
void ResetGraphicsState();
