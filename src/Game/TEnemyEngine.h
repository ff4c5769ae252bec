// The opposition of the running game: up to 20 enemy ships and at most one boss. Each frame of play it
// culls ships that have left the field, runs every ship and the boss, and at most once every 200 ms may
// launch a group of ships or an asteroid. It clears the field when a stage begins to be played.
#pragma once

#include "core/SlotList.h"
#include "platform/Surface.h"

#include <cstdint>
#include <memory>
#include <optional>

struct TGame;
struct TEnemyShip;
struct TBaseBoss;

inline constexpr size_t EnemyShipSlots = 20;
inline constexpr uint32_t SpawnCheckMs = 200;
inline constexpr int16_t CullBelowY = 601; // a ship whose Y passes this has left the field

struct TEnemyEngine {
    explicit TEnemyEngine(TGame& game);
    ~TEnemyEngine();
    TEnemyEngine(const TEnemyEngine&) = delete;
    TEnemyEngine& operator=(const TEnemyEngine&) = delete;

    TGame& Game;
    SlotList<TEnemyShip, EnemyShipSlots> Ships;
    std::unique_ptr<TBaseBoss> Boss;
    uint32_t NowTick = 0;
    uint32_t SpawnTick = 0;
    // Every field but the ships and the boss, for the game's snapshot (GameSnapshot.h).
    template <typename Fields> void ListFields(Fields& f) { f.Ticks(NowTick, SpawnTick); }

    // The enemy ships on the field: the occupied slots of Ships.
    uint8_t LiveShips() const;
    void Step();
    void Draw(Surface& target, float fraction) const;
    // Removes every asteroid, enemy ship, bonus and the boss; hit effects keep running.
    void Clear();
    void SpawnGroup();
    void SpawnAsteroid();
    std::optional<size_t> FreeShipSlot() const;

  private:
    void CullShips();
    void CheckSpawn();
    bool GroupMayCome() const;
    void SpawnShip(uint8_t kind, uint8_t pattern, int x, int y);
};
