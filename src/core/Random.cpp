#include "core/Random.h"

uint32_t RandSeed = 0;

void Randomize(uint32_t seed) {
    RandSeed = seed;
}

uint32_t Random(uint32_t n) {
    RandSeed = RandSeed * 134775813u + 1u; // wraps mod 2^32 on purpose
    return static_cast<uint32_t>((static_cast<uint64_t>(n) * RandSeed) >> 32);
}
