// The replays kept in the data folder beside Config.cfg: the last game's, and the game of every table
// row that has one. Which row a kept game belongs to is read from its file (the name and score it
// claims), so Config.cfg keeps its bytes and no index can fall out of step with the table.
#pragma once

#include "persistence/PersistenceState.h"
#include "replay/ReplayFile.h"

#include <array>
#include <string>

inline constexpr const char* ReplayFolder = "replays";
inline constexpr const char* LastGameReplayPath = "replays/last.vtxreplay";
inline constexpr const char* ReplayFileSuffix = ".vtxreplay";

// Writes the last game's replay over the one before; false with `reason` when it cannot be written.
bool KeepLastGameReplay(const Replay& replay, std::string& reason);
// Writes the replay of a game that entered the table (the table must already hold its row).
bool KeepTableReplay(const Replay& replay, std::string& reason);
// The replay file of each row of HiScoreTable, empty for a row without one.
std::array<std::string, HiScoreCount> TableReplayFiles();
// Removes the kept table replays whose games no row holds any more.
void ForgetReplaysOffTheTable();
