// Placeholder until the opposition lands.
#pragma once

#include "core/Rect.h"
#include "platform/Surface.h"

#include <cstdint>

struct TAsteroid {
    uint8_t Kind = 0;
    uint8_t Slot = 0;
    int16_t X = 0;
    int16_t Y = 0;
    int8_t Strength = 5;
    explicit TAsteroid(uint8_t slot) : Slot(slot) {}
    TRect GetBounds() const { return MakeRect(X, Y, 36, 31); }
    void Update(Surface&) {}
};
