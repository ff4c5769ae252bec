#include "Game/TRunBackground.h"

#include "core/Between.h"
#include "core/Ticks.h"
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"

namespace {

struct TileSize {
    uint16_t width;
    uint16_t height;
};

// The background pictures fix their own tile size; other sprites use the size they are given.
constexpr TileSize BackgroundTiles[] = {{400, 300}, {800, 200}, {512, 486}, {300, 200},
                                        {300, 200}, {300, 200}, {300, 200}, {300, 200}};

TileSize TileSizeFor(uint8_t spriteIndex, uint16_t width, uint16_t height) {
    if (spriteIndex < std::size(BackgroundTiles)) return BackgroundTiles[spriteIndex];
    return {width, height};
}

uint8_t TilesAcross(int span, uint16_t tile) {
    return tile == 0 ? 0 : static_cast<uint8_t>(span / tile);
}

} // namespace

TRunBackground::TRunBackground(uint32_t& distance, const uint32_t& clock, uint16_t tileWidth,
                               uint16_t tileHeight, uint8_t spriteIndex, uint16_t stepInterval)
    : Distance(distance), Clock(clock), StepInterval(stepInterval), SpriteIndex(spriteIndex) {
    const TileSize tile = TileSizeFor(spriteIndex, tileWidth, tileHeight);
    TileWidth = tile.width;
    TileHeight = tile.height;
    Columns = TilesAcross(800, TileWidth);
    Rows = TilesAcross(600, TileHeight);
    StepTick = Clock;
    LastTick = Clock;
}

void TRunBackground::Draw(Surface& target, float fraction) const {
    const Surface* tile = SpriteIndex < GameSpriteCount ? GameSprites[SpriteIndex].get() : nullptr;
    const TRect source = MakeRect(0, 0, TileWidth, TileHeight);
    const int16_t offsetX = Between(PrevOffsetX, OffsetX, fraction);
    const int16_t offsetY = BetweenWrapping(PrevOffsetY, OffsetY, static_cast<int16_t>(TileHeight), fraction);
    // One row and one column more on each side, so the tiling stays seamless as it scrolls and shifts.
    for (int r = -1; r <= Rows; ++r)
        for (int k = -1; k <= Columns; ++k)
            DrawSprite(tile, target, source, static_cast<int16_t>(k * TileWidth + offsetX),
                       static_cast<int16_t>(r * TileHeight + offsetY));
}

void TRunBackground::Step() {
    PrevOffsetX = OffsetX;
    PrevOffsetY = OffsetY;
    const uint32_t now = Clock;
    LastTick = now;
    if (!IntervalPassed(now, StepTick, StepInterval)) return;
    ++OffsetY;
    ++Distance;
    if (OffsetY >= TileHeight) OffsetY = 0;
    StepTick = now;
}
