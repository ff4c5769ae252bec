// Placeholder until the opposition lands.
#pragma once

#include "Game/TGunner.h"
#include "Game/TLineLive.h"
#include "core/Rect.h"

#include <memory>

struct TEnemyShip {
    int16_t X = 0;
    int16_t Y = 0;
    uint8_t Kind = 0;
    int32_t Life = 10;
    std::unique_ptr<TGunner> Gun;
    std::unique_ptr<TLineLive> LifeBar;
    TEnemyShip(uint8_t kind, int16_t x, int16_t y)
        : X(x), Y(y), Kind(kind), Gun(std::make_unique<TGunner>(kind, kind, X, Y, false)),
          LifeBar(std::make_unique<TLineLive>(X, Y, Life, 59, 10)) {}
    TRect GetBounds() const { return MakeRect(X, Y, 59, 28); }
    void Update(Surface&) {}
};
