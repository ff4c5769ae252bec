// The replays kept in the data folder beside Config.cfg: the last game's, and the game of every table
// row that has one. Which row a kept game belongs to is read from its file (the name and score it
// claims), so Config.cfg keeps its bytes and no index can fall out of step with the table. A file
// recorded by another version of the game still belongs to its row and is left as it is.
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
// The kept replay of a table row.
struct TableReplayFile {
    std::string Path;         // empty for a row without one
    bool OtherFormat = false; // recorded by another version of the game: kept, but it cannot be watched
};
// The replay file of each row of HiScoreTable.
std::array<TableReplayFile, HiScoreCount> TableReplayFiles();
// Removes the kept table replays whose games no row holds any more.
void ForgetReplaysOffTheTable();
