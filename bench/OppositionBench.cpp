// One frame of play at the worst the slot lists allow, without the present: 20 enemy ships each with 21
// shots in flight and its life bar showing, a boss with 21 shots, 20 asteroids, 20 bonuses, 20 hit
// effects, 21 player shots, both background layers and the HUD. Nothing collides, so every projectile
// runs its whole collision scan; the state is laid out again before each frame.
#include "BenchGame.h"

#include "Game/TAsteroid.h"
#include "Game/TBaseBoss.h"
#include "Game/TBonus.h"
#include "Game/TEnemyEngine.h"
#include "Game/TEnemyShip.h"
#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/THit.h"
#include "Game/TLineLive.h"
#include "Game/TMyShip.h"
#include "Game/TPulya.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int32_t EndlessLife = 1'000'000;

// Fills every projectile slot of a gun with `kind`, spread over the field's left part.
void FillShots(TGunner& gun, uint8_t kind, int seed) {
    for (size_t i = 0; i < GunShotSlots; ++i) {
        if (!gun.Shots[i]) gun.Shots[i] = std::make_unique<TPulya>(kind, 0, 0, gun.Angle, gun.Game.FrameTick);
        gun.Shots[i]->X = static_cast<float>((seed * 37 + i * 29) % 560);
        gun.Shots[i]->Y = static_cast<float>(20 + (seed * 13 + i * 23) % 360);
    }
}

// The player sits in the bottom-right corner; the opposition stays left of x 660 and the player's shots
// climb in a column at x 680, so nothing hits anything.
void LayOutFullField(TGame& game, uint8_t bossKind, uint8_t bossShotKind) {
    game.Phase = GamePhase::Play;
    game.Energy = FullEnergy;
    game.Distance = 0;
    game.Ship->X = 734;
    game.Ship->Y = 500;
    TEnemyEngine& engine = *game.Engine;
    for (size_t i = 0; i < EnemyShipSlots; ++i) {
        const auto kind = static_cast<uint8_t>(i % 9);
        const auto x = static_cast<int16_t>(10 + 130 * (i % 5));
        const auto y = static_cast<int16_t>(20 + 100 * (i / 5));
        if (!engine.Ships[i])
            engine.Ships[i] = std::make_unique<TEnemyShip>(game, kind, PatternSideToSide, x, y);
        TEnemyShip& ship = *engine.Ships[i];
        ship.X = x;
        ship.Y = y;
        ship.Life = EndlessLife;
        ship.LifeBar->Visible = true;
        ship.LifeBar->ShowCount = 0;
        FillShots(*ship.Gun, kind, static_cast<int>(i));
    }
    if (!engine.Boss) engine.Boss = std::make_unique<TBaseBoss>(game, bossKind);
    TBaseBoss& boss = *engine.Boss;
    boss.X = 200;
    boss.Y = 60;
    boss.Life = EndlessLife;
    boss.LifeBar->Visible = true;
    boss.LifeBar->ShowCount = 0;
    FillShots(*boss.Gun, bossShotKind, 99);
    for (size_t i = 0; i < GameSlotCount; ++i) {
        if (!game.Asteroids[i])
            game.Asteroids[i] = std::make_unique<TAsteroid>(game, static_cast<uint8_t>(i));
        TAsteroid& asteroid = *game.Asteroids[i];
        asteroid.Kind = static_cast<uint8_t>(i % 2);
        asteroid.X = static_cast<int16_t>(20 + 28 * i);
        asteroid.Y = static_cast<int16_t>(300 + 7 * i);
        asteroid.Strength = AsteroidStrength;
        if (!game.Bonuses[i]) game.Bonuses[i] = std::make_unique<TBonus>(game, static_cast<uint8_t>(i), 0, 0);
        game.Bonuses[i]->Kind = static_cast<uint8_t>(i % BonusKindCount);
        game.Bonuses[i]->X = static_cast<int16_t>(25 * i);
        game.Bonuses[i]->Y = static_cast<int16_t>(150 + 15 * i);
        if (!game.Hits[i])
            game.Hits[i] = std::make_unique<THit>(game, i % 2 ? 0 : 11, static_cast<uint8_t>(i), 0, 0, 0);
        game.Hits[i]->X = static_cast<int16_t>(30 * i);
        game.Hits[i]->Y = static_cast<int16_t>(100 + 20 * i);
        game.Hits[i]->Counter = 5;
    }
    TGunner& gun = *game.Ship->Gun;
    for (size_t i = 0; i < GunShotSlots; ++i) {
        if (!gun.Shots[i]) gun.Shots[i] = std::make_unique<TPulya>(0, 0, 0, PlayerGunAngle, game.FrameTick);
        gun.Shots[i]->X = 680;
        gun.Shots[i]->Y = static_cast<float>(40 + 20 * i);
    }
}

void RunFullField(benchmark::State& state, uint8_t bossKind, uint8_t bossShotKind,
                  FrameBenchOptions options = {}) {
    RunGameFrames(
        state, [&](TGame& game) { LayOutFullField(game, bossKind, bossShotKind); }, options);
}

// The kind-2 boss with its own shots (kind 13).
void BM_OppositionFullField(benchmark::State& state) {
    RunFullField(state, 2, 13);
}
BENCHMARK(BM_OppositionFullField)->Unit(benchmark::kMicrosecond);

// The heaviest drawing the lists allow: a kind-0 boss whose 21 shots are all its 75 x 420 beams.
void BM_OppositionFullFieldBeams(benchmark::State& state) {
    RunFullField(state, 0, 10);
}
BENCHMARK(BM_OppositionFullFieldBeams)->Unit(benchmark::kMicrosecond);

// The same fullest field with its rules alone, as a replay is checked: nothing is drawn.
void BM_OppositionFullFieldRulesOnly(benchmark::State& state) {
    RunFullField(state, 2, 13, {.drawn = false});
}
BENCHMARK(BM_OppositionFullFieldRulesOnly)->Unit(benchmark::kMicrosecond);

// A present of the fullest field at 60 Hz: the three game frames of a refresh stepped and one picture
// drawn between the last two; against each of the three drawn, as when every game frame made a picture.
void BM_OppositionPresentAt60Hz(benchmark::State& state) {
    RunFullField(state, 2, 13, {.frames = 3, .everyFrameDrawn = state.range(0) != 0});
}
BENCHMARK(BM_OppositionPresentAt60Hz)
    ->ArgName("everyFrameDrawn")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

// The same fullest field drawn and recorded as in play: the recording's share of a frame.
void BM_OppositionFullFieldRecorded(benchmark::State& state) {
    RunFullField(state, 2, 13, {.recorded = true});
}
BENCHMARK(BM_OppositionFullFieldRecorded)->Unit(benchmark::kMicrosecond);

} // namespace
