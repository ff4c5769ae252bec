// Checking a replay without a screen: a game flown by a scripted pilot is recorded as in play, then
// played again and checked as `vantorix --verify` does. The figures are the frames checked per second of
// CPU and what ten minutes of play (100,000 frames of 6 ms) would cost at that rate.
#include "Game/GameSnapshot.h"
#include "Game/TGame.h"
#include "main/ReplayCheck.h"
#include "main/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"

#include <benchmark/benchmark.h>

namespace {

constexpr uint32_t TenMinutesOfFrames = 100000;

// Weaves across the field with the gun held, climbs and drops now and then and fires the special
// weapon every few seconds. The game runs until it is over or ten minutes of frames have passed.
Replay RecordPilotedGame(uint32_t seed) {
    const BuildIdentity build = ThisBuild();
    ReplayRecorder recorder;
    recorder.Start({build.rulesVersion, build.rulesHash, "bench", seed, {}, 0});
    TGame game(seed);
    for (uint32_t i = 0; i < TenMinutesOfFrames && !game.Finished; ++i) {
        uint8_t controls = ControlFire | ((i / 80) % 2 ? ControlLeft : ControlRight);
        if ((i / 300) % 4 == 1) controls |= ControlUp;
        if ((i / 300) % 4 == 3) controls |= ControlDown;
        if (i % 900 == 450) controls |= ControlSpecial;
        game.Step({controls});
        recorder.RecordFrame(controls);
        if (recorder.StateHashDue()) recorder.AddStateHash(GameStateHash(game));
    }
    return recorder.Finish("Pilot", game.Score, game.StageNumber, GameStateHash(game));
}

void BM_CheckRecordedGame(benchmark::State& state) {
    const Replay recorded = RecordPilotedGame(2024);
    const BuildIdentity build = ThisBuild();
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
}
BENCHMARK(BM_CheckRecordedGame)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// A jump back of ten seconds while watching: the game restored from its snapshot ten seconds before the
// moment and the frames between run, steps only. The snapshot's size is what each ten seconds of a
// watched replay keep in memory.
void BM_SeekBackTenSeconds(benchmark::State& state) {
    const Replay recorded = RecordPilotedGame(2024);
    ReplayPlayer player(recorded);
    const size_t from = recorded.Frames.size() / 2;
    while (player.FramesRun() < from)
        player.StepNextFrame();
    const std::vector<uint8_t> snapshot = player.Snapshot();
    constexpr size_t TenSeconds = 10'000 / GameFrameMs;
    for (auto _ : state) {
        player.Restore(from, snapshot);
        while (player.FramesRun() < from + TenSeconds && !player.Done())
            player.StepNextFrame();
    }
    state.counters["snapshot_bytes"] = static_cast<double>(snapshot.size());
}
BENCHMARK(BM_SeekBackTenSeconds)->Unit(benchmark::kMillisecond);

} // namespace
