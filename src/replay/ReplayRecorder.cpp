#include "replay/ReplayRecorder.h"

namespace {

constexpr size_t FramesMadeRoomFor = 200 * 60 * 20;

} // namespace

void ReplayRecorder::Start(const ReplayStart& start) {
    replay = Replay{};
    replay.GameVersion = start.GameVersion;
    replay.PackHash = start.PackHash;
    replay.StartSeed = start.StartSeed;
    replay.StartTick = start.StartTick;
    replay.PlayOptions = start.PlayOptions;
    replay.Frames.reserve(FramesMadeRoomFor);
    replay.StateHashes.reserve(FramesMadeRoomFor / StateHashInterval);
    lastTick = start.StartTick;
    recording = true;
    overflowed = false;
}

void ReplayRecorder::RecordFrame(const GameFrameInput& input) {
    if (!recording) return;
    if (replay.Frames.size() >= MaxReplayFrames) {
        overflowed = true;
        recording = false;
        return;
    }
    replay.Frames.push_back({input.Tick - lastTick, input.Controls});
    lastTick = input.Tick;
}

bool ReplayRecorder::StateHashDue() const {
    return recording && !replay.Frames.empty() && replay.Frames.size() % StateHashInterval == 0;
}

void ReplayRecorder::AddStateHash(uint64_t hash) {
    replay.StateHashes.push_back(hash);
}

Replay ReplayRecorder::Finish(const std::string& playerName, int32_t score, uint32_t stage,
                              uint64_t finalHash) {
    recording = false;
    replay.PlayerName = playerName.substr(0, MaxReplayText);
    replay.Score = score;
    replay.Stage = stage;
    replay.FinalHash = finalHash;
    return std::move(replay);
}
