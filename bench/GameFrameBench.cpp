// One game frame under full load, without the present: both background layers, the ship, 21 player
// shots in flight, 20 hit effects and the HUD; and how many game frames a second of real time runs.
#include "BenchGame.h"

#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/THit.h"
#include "Game/TMyShip.h"
#include "Game/TPulya.h"
#include "core/FrameClock.h"
#include "core/PresentPacer.h"

#include <algorithm>

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

namespace {

// Game frames per second of real time with a display refreshing at `hertz` (0: a busy machine at 60 Hz,
// woken up to 8 ms late and stalled for 50 ms once a second): the loop's frame clock and pacer over ten
// simulated seconds. The counter is what a player's game runs at; 166.7 is every frame's 6 ms.
void BM_GameFramesPerSecondOfRealTime(benchmark::State& state) {
    const int hertz = static_cast<int>(state.range(0));
    double framesPerSecond = 0;
    for (auto _ : state) {
        FrameClock frames;
        PresentPacer pacer;
        pacer.SetRefreshRate(hertz > 0 ? hertz : 60);
        const uint64_t start = 1'000'000;
        frames.Restart(start);
        uint64_t now = start, run = 0;
        uint32_t noise = 1;
        while (now < start + 10'000'000) {
            noise = noise * 1103515245u + 12345u;
            const uint64_t late =
                hertz > 0
                    ? 0
                    : (noise >> 8) % 8000 + (now / 1'000'000 != (now + 16'667) / 1'000'000 ? 50'000 : 0);
            now = std::max(now, pacer.NextPresent()) + late;
            run += frames.TakeDueFrames(now);
            pacer.FrameDrawn();
            if (pacer.Due(now)) pacer.Presented(now);
        }
        framesPerSecond = static_cast<double>(run) / ((now - start) / 1e6);
    }
    state.counters["game_frames_per_s"] = framesPerSecond;
}
BENCHMARK(BM_GameFramesPerSecondOfRealTime)
    ->ArgName("hertz")
    ->Arg(60)
    ->Arg(75)
    ->Arg(100)
    ->Arg(120)
    ->Arg(144)
    ->Arg(240)
    ->Arg(0);

} // namespace
