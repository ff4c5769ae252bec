// Game frames per benchmark iteration (one, or a present's worth), without the present: a fresh game,
// laid out again by the caller before every frame so the load stays the same. The frames can be followed
// by one picture on the back buffer as in play, or by none (the rules alone, as a replay is checked), or
// each drawn (as when every game frame made a picture); and they can be recorded as in play.
#pragma once

#include "Game/GameSnapshot.h"
#include "Game/TGame.h"
#include "graphics/SpriteStore.h"
#include "platform/Surface.h"
#include "replay/ReplayRecorder.h"

#include <benchmark/benchmark.h>

#include <exception>
#include <memory>

struct FrameBenchOptions {
    bool drawn = true;
    bool recorded = false;
    int frames = 1;
    bool everyFrameDrawn = false;
};

template <typename LayOut>
void RunGameFrames(benchmark::State& state, LayOut layOut, FrameBenchOptions options = {}) {
    try {
        LoadSpriteStore();
    } catch (const std::exception& error) {
        state.SkipWithError(error.what()); // run from the build folder, where Data/Data.pp is made
        return;
    }
    const ReplayStart start{0, 0, "bench", 1, {}, 0};
    auto running = std::make_unique<TGame>(start.StartSeed);
    TGame& game = *running;
    auto target = Surface::Create(800, 600);
    ReplayRecorder recorder;
    if (options.recorded) recorder.Start(start);
    const auto draw = [&] {
        target->Fill(0);
        game.Draw(*target, 0.5f);
    };
    for (auto _ : state) {
        for (int frame = 0; frame < options.frames; ++frame) {
            layOut(game);
            const GameFrameInput input = LiveFrameInput();
            game.Step(input);
            if (options.everyFrameDrawn) draw();
            if (options.recorded) {
                recorder.RecordFrame(input.Controls);
                if (recorder.StateHashDue()) recorder.AddStateHash(GameStateHash(game));
                if (!recorder.Recording()) recorder.Start(start);
            }
        }
        if (options.drawn && !options.everyFrameDrawn) draw();
        benchmark::DoNotOptimize(target->Pixel(0, 0));
    }
    running.reset();
    FreeSpriteStore();
}
