// Checking a replay without a screen: a game flown by a scripted pilot is recorded as in play, then
// played again and checked as `vantorix --verify` does. The figures are the frames checked per second of
// CPU and what ten minutes of play (99,600 frames at the frame gate's pace) would cost at that rate.
#include "Game/GameStateHash.h"
#include "Game/TGame.h"
#include "core/CoreState.h"
#include "core/Random.h"
#include "graphics/GraphicsState.h"
#include "graphics/SpriteStore.h"
#include "main/GameVersion.h"
#include "main/ReplayCheck.h"
#include "platform/Surface.h"
#include "replay/ReplayRecorder.h"

#include <benchmark/benchmark.h>

#include <exception>
#include <memory>

namespace {

constexpr uint32_t TenMinutesOfFrames = 99600;

// Weaves across the field with the gun held, climbs and drops now and then and fires the special
// weapon every few seconds; frames 5 or 6 ms apart as the frame gate lets them come. The game runs
// until it is over or ten minutes of frames have passed.
Replay RecordPilotedGame(uint32_t seed) {
    const auto unseen = Surface::CreateUnseen();
    const uint32_t startTick = 100000;
    Randomize(seed);
    ReplayRecorder recorder;
    recorder.Start({GameVersion, PackHash, seed, startTick, 0});
    TGame game(startTick);
    uint32_t tick = startTick;
    for (uint32_t i = 0; i < TenMinutesOfFrames && !game.Finished; ++i) {
        tick += i % 3 == 0 ? 5 : 6;
        uint8_t controls = ControlFire | ((i / 80) % 2 ? ControlLeft : ControlRight);
        if ((i / 300) % 4 == 1) controls |= ControlUp;
        if ((i / 300) % 4 == 3) controls |= ControlDown;
        if (i % 900 == 450) controls |= ControlSpecial;
        const GameFrameInput input{tick, controls};
        game.RunFrame(input, *unseen);
        recorder.RecordFrame(input);
        if (recorder.StateHashDue()) recorder.AddStateHash(GameStateHash(game));
    }
    return recorder.Finish("Pilot", game.Score, game.StageNumber, GameStateHash(game));
}

void BM_CheckRecordedGame(benchmark::State& state) {
    try {
        LoadSpriteStore(); // for the pack's identity; the check itself draws nothing
    } catch (const std::exception& error) {
        state.SkipWithError(error.what()); // run from the build folder, where Data/Data.pp is made
        return;
    }
    const Replay recorded = RecordPilotedGame(2024);
    const BuildIdentity build{GameVersion, PackHash};
    ReplayCheck check;
    for (auto _ : state) {
        check = CheckReplay(recorded, build);
        benchmark::DoNotOptimize(check.finalHash);
    }
    if (check.verdict != ReplayVerdict::Verified) state.SkipWithError(check.reason.c_str());
    const double frames = static_cast<double>(recorded.Frames.size());
    state.counters["frames"] = frames;
    state.counters["score"] = recorded.Score;
    state.counters["frames_per_cpu_s"] =
        benchmark::Counter(frames * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["replay_bytes"] = static_cast<double>(WriteReplay(recorded).size());
    FreeSpriteStore();
}
BENCHMARK(BM_CheckRecordedGame)->Unit(benchmark::kMillisecond);

} // namespace
