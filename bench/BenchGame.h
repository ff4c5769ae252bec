// One game frame per benchmark iteration, without the present: a fresh game on the test clock, laid out
// again by the caller before every frame so the load stays the same. The frame can draw on the back
// buffer as in play or on an unseen target (the rules alone, as a replay is checked), and can be
// recorded as in play.
#pragma once

#include "Game/GameStateHash.h"
#include "Game/TGame.h"
#include "core/Random.h"
#include "graphics/SpriteStore.h"
#include "platform/Clock.h"
#include "platform/Surface.h"
#include "replay/ReplayRecorder.h"

#include <benchmark/benchmark.h>

#include <exception>
#include <memory>

struct FrameBenchOptions {
    bool drawn = true;
    bool recorded = false;
};

template <typename LayOut>
void RunGameFrames(benchmark::State& state, LayOut layOut, FrameBenchOptions options = {}) {
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
    auto target = options.drawn ? Surface::Create(800, 600) : Surface::CreateUnseen();
    ReplayRecorder recorder;
    if (options.recorded) recorder.Start({"bench", 0, RandSeed, GetTickCount(), 0});
    for (auto _ : state) {
        layOut(game);
        AdvanceTestClock(6);
        target->Fill(0);
        const GameFrameInput input = LiveFrameInput();
        game.RunFrame(input, *target);
        if (options.recorded) {
            recorder.RecordFrame(input);
            if (recorder.StateHashDue()) recorder.AddStateHash(GameStateHash(game));
            if (!recorder.Recording()) recorder.Start({"bench", 0, RandSeed, GetTickCount(), 0});
        }
        benchmark::DoNotOptimize(target->Pixel(0, 0));
    }
    running.reset();
    UseSystemClock();
    FreeSpriteStore();
}
