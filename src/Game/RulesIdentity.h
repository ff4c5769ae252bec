// What a replay must agree with to be played again here: the version of the rules (raised by hand
// whenever a change to the game's code plays a recorded game differently) and a hash of the tables the
// rules read (the sizes that decide hits, lives, speeds, damage, fire intervals). Pictures, sounds and
// the release's version never take part: another build of the same rules plays the same games.
#pragma once

#include <cstdint>

// 1: game time followed the real clock. 2: every game frame is 6 ms of game time.
inline constexpr uint32_t RulesVersion = 2;

uint64_t RulesHash();
