#include "core/Random.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <random>

uint32_t RandSeed = 0;

void Randomize(uint32_t seed) {
    RandSeed = seed;
}

uint32_t Random(uint32_t n) {
    GameRandom generator{RandSeed};
    const uint32_t value = generator.Next(n);
    RandSeed = generator.Seed;
    return value;
}

uint32_t DealGameSeed() {
    const uint32_t seed = RandSeed;
    Random(0);
    return seed;
}

namespace {

constexpr const char* SeedVariable = "VANTORIX_SEED";

bool ParseSeed(const char* text, uint32_t& seed) {
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, seed);
    return error == std::errc() && stop == end && stop != text;
}

uint32_t FreshSeed() {
    try {
        return std::random_device{}();
    } catch (const std::exception&) {
        // No entropy source: the wall clock's nanoseconds still differ from start to start.
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    }
}

} // namespace

uint32_t LaunchSeed() {
    const char* fixed = std::getenv(SeedVariable);
    if (!fixed) return FreshSeed();
    uint32_t seed = 0;
    if (ParseSeed(fixed, seed)) return seed;
    std::fprintf(stderr, "vantorix: %s=\"%s\" is not a number from 0 to 4294967295; using a fresh seed.\n",
                 SeedVariable, fixed);
    return FreshSeed();
}
