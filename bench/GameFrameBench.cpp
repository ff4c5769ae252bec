// One game frame under full load, without the present: both background layers, the ship, 21 player
// shots in flight, 20 hit effects and the HUD.
#include "BenchGame.h"

#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/THit.h"
#include "Game/TMyShip.h"
#include "Game/TPulya.h"

#include <benchmark/benchmark.h>

namespace {

// Keeps every shot slot and hit slot busy, the shots spread over the field and the hits mid-animation.
void KeepFullLoad(TGame& game) {
    TGunner& gun = *game.Ship->Gun;
    for (size_t i = 0; i < GunShotSlots; ++i) {
        if (!gun.Shots[i]) gun.Shots[i] = std::make_unique<TPulya>(0, 0, 0, PlayerGunAngle, game.FrameTick);
        gun.Shots[i]->X = static_cast<float>(30 + 35 * i);
        gun.Shots[i]->Y = static_cast<float>(100 + 20 * i);
    }
    for (size_t i = 0; i < GameSlotCount; ++i) {
        if (!game.Hits[i])
            game.Hits[i] = std::make_unique<THit>(game, i % 2 ? 0 : 9, static_cast<uint8_t>(i), 0, 0, 0);
        game.Hits[i]->X = static_cast<int16_t>(40 * i);
        game.Hits[i]->Y = static_cast<int16_t>(200 + 10 * i);
        game.Hits[i]->Counter = 5;
    }
    game.Energy = FullEnergy;
    game.Distance = 0;
}

void BM_GameFrameFullLoad(benchmark::State& state) {
    RunGameFrames(state, [](TGame& game) {
        game.Phase = GamePhase::Play;
        game.Ship->X = 390;
        game.Ship->Y = 450;
        game.Ship->MegaBombReady = game.Ship->MegaSkullReady = true;
        game.Armour = 30;
        KeepFullLoad(game);
    });
}
BENCHMARK(BM_GameFrameFullLoad)->Unit(benchmark::kMicrosecond);

} // namespace
