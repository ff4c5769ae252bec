// The local table of the ten best results, best first.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct THiScores {
    std::string Name;
    int32_t Score = 0;
};

inline constexpr int HiScoreCount = 10;
extern std::array<THiScores, HiScoreCount> HiScoreTable;

void ResetHighScores();
