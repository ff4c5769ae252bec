// One game frame per benchmark iteration, without the present: a fresh game, laid out again by the
// caller before every frame so the load stays the same. The frame's step can be followed by its picture
// on the back buffer as in play, or not (the rules alone, as a replay is checked), and can be recorded
// as in play.
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
    for (auto _ : state) {
        layOut(game);
        const GameFrameInput input = LiveFrameInput();
        game.Step(input);
        if (options.drawn) {
            target->Fill(0);
            game.Draw(*target, 0.5f);
        }
        if (options.recorded) {
            recorder.RecordFrame(input.Controls);
            if (recorder.StateHashDue()) recorder.AddStateHash(GameStateHash(game));
            if (!recorder.Recording()) recorder.Start(start);
        }
        benchmark::DoNotOptimize(target->Pixel(0, 0));
    }
    running.reset();
    FreeSpriteStore();
}
