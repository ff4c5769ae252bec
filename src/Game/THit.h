// A short animation played once at a point of the field: a spark where something strikes, or an
// explosion where a ship dies. A negative start frame delays it. It empties its own slot when done.
#pragma once

#include "platform/Surface.h"

#include <cstdint>

inline constexpr int16_t HitLastCounter = 16; // the effect is removed when its counter reaches this

struct TGame;
struct THit {
    THit(TGame& game, uint8_t kind, uint8_t slot, int16_t x, int16_t y, int8_t startFrame);
    TGame& Game;

    uint8_t SizeClass = 0;
    uint8_t Slot = 0;
    int16_t X = 0;
    int16_t Y = 0;
    int16_t Counter = 0;
    uint32_t NowTick = 0;
    uint32_t FrameTick = 0;
    // Every field, for the game's snapshot (GameSnapshot.h).
    template <typename Fields> void ListFields(Fields& f) {
        f(SizeClass, Slot, X, Y, Counter);
        f.Ticks(NowTick, FrameTick);
    }

    // One game frame. May destroy this effect (and empty its slot in the game's hit list).
    void Step();
    void Draw(Surface& target, float fraction) const;
};

// Hit kinds 0..8 give the small classes 0..2, kinds 9..17 the explosion classes 3..5, others class 0.
uint8_t HitSizeClass(uint8_t kind);
