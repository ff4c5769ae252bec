#include "persistence/HiScores.h"

#include <utility>

namespace {

std::array<THiScores, HiScoreCount> DefaultHiScores() {
    std::array<THiScores, HiScoreCount> table;
    for (int i = 0; i < HiScoreCount; ++i)
        table[i] = THiScores{"Anonymous", 1000 - 100 * i};
    return table;
}

} // namespace

std::array<THiScores, HiScoreCount> HiScoreTable = DefaultHiScores();

void ResetHighScores() {
    HiScoreTable = DefaultHiScores();
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
}
