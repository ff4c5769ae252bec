// The local table of the ten best results, best first.
#pragma once

#include "persistence/PersistenceState.h"

#include <array>
#include <cstdint>
#include <string>

struct THiScores {
    std::string Name;
    int32_t Score = 0;
};

inline constexpr const char* DefaultHiScoreName = "Anonymous";

// "Anonymous" ten times, 1000 down to 100.
void ResetHighScores();
// A result enters the table only when strictly above the tenth entry.
bool ScoreEntersTable(int32_t score);
// Replaces the tenth entry with the result and bubbles it up (below older equal scores); the table in
// memory only: whoever inserts saves Config.cfg.
void InsertHiScore(const std::string& name, int32_t score);
