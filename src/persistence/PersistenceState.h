// The program-wide values of persistence, declared here and nowhere else, and their reset.
#pragma once

#include <array>

struct TOptions;
struct THiScores;

inline constexpr int HiScoreCount = 10;

// The options record (see Options.h).
extern TOptions Options;
// The local table of the ten best results, best first (see HiScores.h).
extern std::array<THiScores, HiScoreCount> HiScoreTable;
// The row (0 to 9) the latest result of this run went into, until the table is cleared; -1 for none.
extern int NewestHiScoreRow;

// Back to the values at program start: default options with no window mode forced, the default table.
void ResetPersistenceState();
