// Placeholder until the opposition lands: the engine's fields as the game and the guns use them.
#pragma once

#include "core/SlotList.h"
#include "platform/Surface.h"

#include <cstdint>
#include <memory>

struct TEnemyShip;
struct TBaseBoss;

struct TEnemyEngine {
    TEnemyEngine();
    ~TEnemyEngine();
    SlotList<TEnemyShip, 20> Ships;
    std::unique_ptr<TBaseBoss> Boss;
    uint8_t LiveShips = 0;
    uint32_t NowTick = 0;
    uint32_t SpawnTick = 0;
    void Update(Surface& target);
    void Clear();
};
