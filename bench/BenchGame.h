// One game frame per benchmark iteration, without the present: a fresh game on the test clock, laid out
// again by the caller before every frame so the load stays the same.
#pragma once

#include "Game/TGame.h"
#include "core/Random.h"
#include "graphics/SpriteStore.h"
#include "platform/Clock.h"
#include "platform/Surface.h"

#include <benchmark/benchmark.h>

#include <exception>
#include <memory>

template <typename LayOut> void RunGameFrames(benchmark::State& state, LayOut layOut) {
    try {
        LoadSpriteStore();
    } catch (const std::exception& error) {
        state.SkipWithError(error.what()); // run from the build folder, where Data/Data.pp is made
        return;
    }
    UseTestClock(100000);
    Randomize(1);
    auto running = std::make_unique<TGame>(GetTickCount());
    TGame& game = *running;
    auto target = Surface::Create(800, 600);
    for (auto _ : state) {
        layOut(game);
        AdvanceTestClock(6);
        target->Fill(0);
        game.RunFrame(LiveFrameInput(), *target);
        benchmark::DoNotOptimize(target->Pixel(400, 300));
    }
    running.reset();
    UseSystemClock();
    FreeSpriteStore();
}
