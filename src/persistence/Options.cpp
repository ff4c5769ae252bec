#include "persistence/HiScores.h"
#include "persistence/Options.h"

TOptions Options;
std::array<THiScores, HiScoreCount> HiScoreTable;

void ResetHighScores() {
    for (int i = 0; i < HiScoreCount; ++i) HiScoreTable[i] = THiScores{"Anonymous", 1000 - 100 * i};
}
