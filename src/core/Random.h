// The program-wide random generator: a 32-bit linear congruential generator seeded once at start-up
// (tests seed it themselves so a game replays exactly).
#pragma once

#include "core/CoreState.h"

#include <cstdint>

void Randomize(uint32_t seed);
// The seed for a new start of the program: the number in VANTORIX_SEED when it holds one (to play a
// start again), else one drawn from the system's entropy, different on every start.
uint32_t LaunchSeed();
// A random integer 0 .. n - 1 (0 when n is 0).
uint32_t Random(uint32_t n);
