#include "replay/ReplayRecorder.h"

namespace {

constexpr size_t FramesMadeRoomFor = 20 * 60 * 1000 / GameFrameMs; // twenty minutes

} // namespace

void ReplayRecorder::Start(const ReplayStart& start) {
    replay = Replay{};
    replay.RulesVersion = start.RulesVersion;
    replay.RulesHash = start.RulesHash;
    replay.GameVersion = start.GameVersion;
    replay.StartSeed = start.StartSeed;
    replay.StartTicket = start.StartTicket;
    replay.PlayOptions = start.PlayOptions;
    replay.Frames.reserve(FramesMadeRoomFor);
    replay.StateHashes.reserve(FramesMadeRoomFor / StateHashInterval);
    recording = true;
    overflowed = false;
}

void ReplayRecorder::RecordFrame(uint8_t controls) {
    if (!recording) return;
    if (replay.Frames.size() >= MaxReplayFrames) {
        overflowed = true;
        recording = false;
        return;
    }
    replay.Frames.push_back({controls});
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
