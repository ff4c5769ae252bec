// The whole state of a running game as bytes, and back: every value of the game and of every object it
// owns (each object lists its own fields beside them, in ListFields), the slot each object takes, the
// random generator, and the ticks counted from the game's start. Links between objects (a gun's owner,
// a life bar's ship, a boss's target) are not saved: restoring makes the objects afresh in the game
// restored into, which links them. The same game gives the same bytes on every machine and from any
// start tick; a replay keeps the hash of these bytes (the game's state hash) every 600 frames.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct TGame;

std::vector<uint8_t> SaveGameSnapshot(const TGame& game);
// Makes `game` (a game in any state) the game the snapshot was taken of, counting its ticks from its own
// start. False when the bytes are not a whole snapshot; the game is then in no state to play on.
bool RestoreGameSnapshot(TGame& game, std::span<const uint8_t> bytes);
// The hash of the game's snapshot, made without keeping the bytes.
uint64_t GameStateHash(const TGame& game);
