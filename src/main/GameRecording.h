// Every game is recorded as it is played: the shell hands the recorder each frame's input as it hands
// it to the game, keeps the finished game as the last game's replay, and keeps it again for its row
// when it enters the table. A replay that cannot be written is told like a score that cannot be saved;
// the game goes on.
#pragma once

#include "core/GameInput.h"

#include <cstdint>
#include <string>
#include <vector>

struct TGame;

// A game begins from the seed its generator is made with.
void StartRecordingGame(uint32_t startSeed);
// The frame just run by `game` with `input`.
void RecordGameFrame(const GameFrameInput& input, const TGame& game);
// The game ended (its game-over shown, or the program closing over it): it is kept as the last game,
// under `name` for now.
void FinishRecordedGame(const TGame& game, const std::string& name);
// The finished game entered the table as `name`: it is kept again, for its row.
void KeepFinishedGameForTable(const std::string& name);
// The finished game's replay file as it would be uploaded; empty without a finished game.
std::vector<uint8_t> FinishedGameReplayBytes();
