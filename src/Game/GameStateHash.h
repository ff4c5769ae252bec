// One 64-bit number that sums up everything a running game's next frames depend on: the game's own
// values, every object in every slot list with its slot, every projectile of every gun, the layers and
// the random generator. Two games that agree on it play on alike; a replay keeps it every 600 frames.
// What only the picture shows (animation frames, the hit flash) is left out.
#pragma once

#include <cstdint>

struct TGame;

uint64_t GameStateHash(const TGame& game);
