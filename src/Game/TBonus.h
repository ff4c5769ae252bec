// Placeholder until the opposition lands.
#pragma once

#include "platform/Surface.h"

#include <cstdint>

struct TBonus {
    uint8_t Kind = 0;
    uint8_t Slot = 0;
    int16_t X = 0;
    int16_t Y = 0;
    TBonus(uint8_t slot, int16_t x, int16_t y) : Slot(slot), X(x), Y(y) {}
    void Update(Surface&) {}
};
