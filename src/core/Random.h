// The random generator: a 32-bit linear congruential generator. Every game owns one (its state is part
// of the game); the program keeps one more, seeded once at start-up, that deals each new game its seed.
#pragma once

#include "core/CoreState.h"

#include <cstdint>

struct GameRandom {
    uint32_t Seed = 0;
    // A random integer 0 .. n - 1 (0 when n is 0): the high 32 bits of n times the next state.
    uint32_t Next(uint32_t n) {
        Seed = Seed * 134775813u + 1u; // wraps mod 2^32 on purpose
        return static_cast<uint32_t>((static_cast<uint64_t>(n) * Seed) >> 32);
    }
};

void Randomize(uint32_t seed);
// The seed for a new start of the program: the number in VANTORIX_SEED when it holds one (to play a
// start again), else one drawn from the system's entropy, different on every start.
uint32_t LaunchSeed();
// A random integer 0 .. n - 1 (0 when n is 0) from the program's generator.
uint32_t Random(uint32_t n);
// The seed of a new game: the program's generator as it stands (so the first game of a start seeded
// with VANTORIX_SEED=n is seeded with n), then moved on so the next game differs.
uint32_t DealGameSeed();
