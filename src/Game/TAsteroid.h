// A tumbling rock that falls at a slant towards the middle of the field, breaks on the player's ship
// (damage 10) and is destroyed by any hit of a player projectile.
#pragma once

#include "core/Rect.h"
#include "platform/Surface.h"

#include <cstdint>

struct TGame;
struct AsteroidKind {
    uint16_t width; // of one frame; the sprite is a strip of eight frames in one row
    uint16_t height;
    uint8_t sprite; // GameSprites image
};

inline constexpr AsteroidKind AsteroidKinds[] = {{36, 31, 37}, {74, 52, 38}}; // small, large
inline constexpr uint8_t AsteroidFrames = 8;
inline constexpr int8_t AsteroidStrength = 5;
inline constexpr uint8_t AsteroidRamDamage = 10;

const AsteroidKind& AsteroidKindOf(uint8_t kind);

struct TAsteroid {
    // Draws, in this order: the kind, the x, the horizontal and the vertical step.
    TAsteroid(TGame& game, uint8_t slot);
    TGame& Game;

    uint8_t Kind = 0;
    uint8_t Frame = 0;
    uint8_t Slot = 0;
    int16_t X = 0;
    int16_t Y = 0;
    int16_t PrevX = 0; // where the frame before left it: the picture slides from there
    int16_t PrevY = 0;
    int16_t StepX = 0; // +-1 or +-2: from the left half it drifts right, from the right half left
    int16_t StepY = 0; // 4 or 5
    int8_t Strength = AsteroidStrength; // removed once below 1
    uint32_t NowTick = 0;
    uint32_t FrameTick = 0;
    // Every field, for the game's snapshot (GameSnapshot.h).
    template <typename Fields> void ListFields(Fields& f) {
        f(Kind, Frame, Slot, X, Y, PrevX, PrevY, StepX, StepY, Strength);
        f.Ticks(NowTick, FrameTick);
    }

    // One game frame. May destroy the asteroid (and empty its slot in the game's asteroid list).
    void Step();
    void Draw(Surface& target, float fraction) const;
    TRect GetBounds() const;

  private:
    void RamPlayer();
    bool OutOfPlay() const;
};
