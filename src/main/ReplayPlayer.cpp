#include "main/ReplayPlayer.h"

#include "Game/GameSnapshot.h"
#include "Game/TGame.h"

ReplayPlayer::ReplayPlayer(const Replay& replay)
    : replay(replay), game(std::make_unique<TGame>(replay.StartSeed)) {}

ReplayPlayer::~ReplayPlayer() = default;

std::vector<uint8_t> ReplayPlayer::Snapshot() const {
    return SaveGameSnapshot(*game);
}

bool ReplayPlayer::Restore(size_t framesRun, std::span<const uint8_t> snapshot) {
    if (framesRun <= replay.Frames.size() && RestoreGameSnapshot(*game, snapshot)) {
        next = framesRun;
        return true;
    }
    game = std::make_unique<TGame>(replay.StartSeed);
    next = 0;
    return false;
}

void ReplayPlayer::StepNextFrame() {
    if (Done()) return;
    game->Step({replay.Frames[next++].Controls});
}
