// One layer of the battle area's background: a tile tiled across the screen that scrolls down one
// pixel per step. Every scroll step adds 1 to the game's Distance.
#pragma once

#include "platform/Surface.h"

#include <cstdint>

struct TRunBackground {
    // Every scroll step of the layer counts one into `distance` (the game's distance in this stage);
    // `clock` is the game's frame time, read at every step.
    TRunBackground(uint32_t& distance, const uint32_t& clock, uint16_t tileWidth, uint16_t tileHeight,
                   uint8_t spriteIndex, uint16_t stepInterval);
    uint32_t& Distance;
    const uint32_t& Clock; // the game's frame time

    int16_t OffsetX = 0;     // changed only by the player's ship; never wrapped
    int16_t OffsetY = 0;     // 0 .. TileHeight - 1
    int16_t PrevOffsetX = 0; // where the frame before left the layer: the picture slides from there
    int16_t PrevOffsetY = 0;
    uint16_t TileWidth = 0;
    uint16_t TileHeight = 0;
    uint16_t StepInterval = 0;
    uint8_t SpriteIndex = 0;
    uint8_t Columns = 0;
    uint8_t Rows = 0;
    uint32_t LastTick = 0;
    uint32_t StepTick = 0;
    // Every field but the watched distance and clock, for the game's snapshot (GameSnapshot.h).
    template <typename Fields> void ListFields(Fields& f) {
        f(OffsetX, OffsetY, PrevOffsetX, PrevOffsetY, TileWidth, TileHeight, StepInterval, SpriteIndex,
          Columns, Rows);
        f.Ticks(LastTick, StepTick);
    }

    void Step();
    void Draw(Surface& target, float fraction) const;
};
