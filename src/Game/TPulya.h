// One projectile in flight, and the table of projectile kinds the guns use for spawn points, hit
// rectangles and damage.
#pragma once

#include "core/Rect.h"
#include "platform/Surface.h"

#include <cstdint>

struct ShotKind {
    uint16_t width;
    uint16_t height;
    uint8_t frames;
    uint8_t speed; // pixels per game frame
    uint8_t damage;
};

inline constexpr ShotKind ShotKinds[] = {
    {26, 28, 2, 10, 10},   {15, 29, 2, 10, 20},  {26, 26, 1, 5, 50},   {60, 60, 1, 12, 40},
    {25, 25, 1, 10, 50},   {14, 139, 4, 10, 40}, {35, 35, 8, 10, 70},  {27, 27, 1, 10, 60},
    {20, 45, 1, 15, 90},   {32, 32, 8, 10, 60},  {75, 420, 5, 10, 60}, {35, 35, 1, 10, 60},
    {235, 225, 1, 10, 60}, {50, 70, 1, 10, 60},  {15, 35, 1, 10, 60},
};
inline constexpr uint8_t ShotKindCount = sizeof(ShotKinds) / sizeof(ShotKinds[0]);

// The row of a kind; a kind outside the table reads the first row.
const ShotKind& ShotKindOf(uint8_t kind);

struct TPulya {
    // Fired at the frame time `now`.
    TPulya(uint8_t kind, int16_t x, int16_t y, double angle, uint32_t now);

    uint8_t Kind = 0;
    uint8_t Frame = 0;
    float Y = 0;
    float X = 0;
    float PrevY = 0; // where the frame before left it: the picture slides from there
    float PrevX = 0;
    double Angle = 0;
    uint32_t FrameTick = 0;
    // Every field, for the game's snapshot (GameSnapshot.h).
    template <typename Fields> void ListFields(Fields& f) {
        f(Kind, Frame, Y, X, PrevY, PrevX, Angle);
        f.Ticks(FrameTick);
    }

    // One game frame at the frame time `now`: the picture's animation, then the move.
    void Step(uint32_t now);
    void Draw(Surface& target, bool playerShot, float fraction) const;
    // Where its picture lies: its own kind's size at its rounded position. Hits and leaving the field
    // are both tested against it.
    TRect GetBounds() const;
};
