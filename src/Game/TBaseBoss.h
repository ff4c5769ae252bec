// Placeholder until the opposition lands.
#pragma once

#include "Game/TGunner.h"
#include "Game/TLineLive.h"
#include "core/Rect.h"

#include <memory>

struct TBaseBoss {
    int16_t X = 340;
    int16_t Y = -180;
    uint8_t Kind = 0;
    int32_t Life = 1000;
    std::unique_ptr<TGunner> Gun;
    std::unique_ptr<TLineLive> LifeBar;
    explicit TBaseBoss(uint8_t kind)
        : Kind(kind), Gun(std::make_unique<TGunner>(9, 9, X, Y, false)),
          LifeBar(std::make_unique<TLineLive>(X, Y, Life, 150, 1000)) {}
    TRect GetBounds() const { return MakeRect(X, Y, 150, 180); }
    void Update(Surface&) {}
};
