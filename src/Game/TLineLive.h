// The thin green bar above an enemy ship or a boss that shows how much life is left. Hidden until the
// owner is hurt; then shown for 101 game frames.
#pragma once

#include "platform/Surface.h"

#include <cstdint>

inline constexpr uint32_t LifeBarColour = Rgb(0x22, 0x88, 0x22);
inline constexpr uint16_t LifeBarShowFrames = 100; // hidden once the count passes this

struct TLineLive {
    TLineLive(const int32_t& ownerLife, uint16_t barLength, uint16_t maxLife);

    const int32_t* OwnerLife; // watched, never owned
    bool Visible = false;
    float Scale = 0; // pixels per point of life, single precision
    uint16_t ShowCount = 0;
    // Every field but the watched life, for the game's snapshot (GameSnapshot.h).
    template <typename Fields> void ListFields(Fields& f) { f(Visible, Scale, ShowCount); }

    // One game frame of a shown bar: it hides once it has shown long enough.
    void Step();
    // Above the owner drawn at (ownerX, ownerY).
    void Draw(Surface& target, int16_t ownerX, int16_t ownerY) const;
    // The bar's length in pixels for the owner's life now.
    int32_t Length() const;
};

// A filled rounded rectangle (1 x 1 corners) from (left, top) to (left + length, top + height).
void FillBar(int32_t left, int32_t top, int32_t length, Surface& target, uint32_t colour, int32_t height);
