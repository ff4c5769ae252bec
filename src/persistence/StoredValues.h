// What the game itself writes into Config.cfg. A value outside this (a flag other than 0 or 1, a boss
// key the options screen cannot take, a name of other characters or too long) comes from a damaged
// file: it falls back to its default, and the load says so in one line.
#pragma once

#include <cstdint>
#include <string>

// The text fields take at most this many letters, A to Z in either case.
inline constexpr size_t StoredTextMaxLetters = 10;

bool StoredFlagIsSound(uint8_t byte);
// A stored name is never empty; a country may be.
bool StoredTextIsSound(const std::string& text, bool mayBeEmpty);

// The shell says which key codes the options screen accepts as the boss key; without a check every
// byte passes.
using BossKeyCheck = bool (*)(int32_t key);
void SetBossKeyCheck(BossKeyCheck check);
bool StoredBossKeyIsSound(int32_t key);

// The values of one load that fell back to their defaults, told as one phrase.
class ConfigDamage {
  public:
    void Note(const char* what);
    void NoteName() { ++names; }
    bool Any() const { return !parts.empty() || names > 0; }
    // "the window mode, the boss key and 2 names"
    std::string Describe() const;

  private:
    std::string parts;
    int names = 0;
};
