#include "persistence/HiScores.h"

#include <utility>

namespace {

std::array<THiScores, HiScoreCount> DefaultHiScores() {
    std::array<THiScores, HiScoreCount> table;
    for (int i = 0; i < HiScoreCount; ++i)
        table[i] = THiScores{DefaultHiScoreName, 1000 - 100 * i};
    return table;
}

// Among equal scores the newest result lies lowest.
int NewestRowOf(const std::string& name, int32_t score) {
    for (int row = HiScoreCount - 1; row >= 0; --row)
        if (HiScoreTable[row].Name == name && HiScoreTable[row].Score == score) return row;
    return -1;
}

} // namespace

std::array<THiScores, HiScoreCount> HiScoreTable = DefaultHiScores();
int NewestHiScoreRow = -1;

void ResetHighScores() {
    HiScoreTable = DefaultHiScores();
    NewestHiScoreRow = -1;
}

bool ScoreEntersTable(int32_t score) {
    return score > HiScoreTable[HiScoreCount - 1].Score;
}

void InsertHiScore(const std::string& name, int32_t score) {
    HiScoreTable[HiScoreCount - 1] = THiScores{name, score};
    // Only a strictly smaller score gives way, so among equal scores the older entry stays above.
    for (int i = 0; i < HiScoreCount; ++i)
        for (int j = HiScoreCount - 1; j > i; --j)
            if (HiScoreTable[j - 1].Score < HiScoreTable[j].Score)
                std::swap(HiScoreTable[j - 1], HiScoreTable[j]);
    NewestHiScoreRow = NewestRowOf(name, score);
}
