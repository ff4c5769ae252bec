#include "main/ReplayPlayer.h"

#include "Game/TGame.h"
#include "core/Random.h"

ReplayPlayer::ReplayPlayer(const Replay& replay) : replay(replay), tick(replay.StartTick) {
    Randomize(replay.StartSeed);
    game = std::make_unique<TGame>(replay.StartTick);
}

ReplayPlayer::~ReplayPlayer() = default;

void ReplayPlayer::RunNextFrame(Surface& target) {
    if (Done()) return;
    const ReplayFrame& frame = replay.Frames[next++];
    tick += frame.TimeStep;
    game->RunFrame({tick, frame.Controls}, target);
}
