#include "Game/RulesIdentity.h"

#include "Game/EnemyKinds.h"
#include "Game/TAsteroid.h"
#include "Game/TBonus.h"
#include "Game/TGunner.h"
#include "Game/TPulya.h"
#include "core/Hash64.h"

namespace {

void AddRow(Hash64& hash, const EnemyShipKind& row) {
    for (const uint64_t field :
         {uint64_t{row.width}, uint64_t{row.height}, uint64_t{row.life}, uint64_t{row.explosion}})
        hash.AddNumber(field, 2);
}

void AddRow(Hash64& hash, const BossShipKind& row) {
    for (const uint64_t field : {uint64_t{row.width}, uint64_t{row.height}, uint64_t{row.life},
                                 uint64_t{row.gunType}, uint64_t{row.explosion}})
        hash.AddNumber(field, 2);
}

void AddRow(Hash64& hash, const ShotKind& row) {
    for (const uint64_t field : {uint64_t{row.width}, uint64_t{row.height}, uint64_t{row.frames},
                                 uint64_t{row.speed}, uint64_t{row.damage}})
        hash.AddNumber(field, 2);
}

void AddRow(Hash64& hash, const AsteroidKind& row) {
    hash.AddNumber(row.width, 2);
    hash.AddNumber(row.height, 2);
}

void AddRow(Hash64& hash, const BonusKind& row) {
    for (const uint64_t field : {uint64_t{row.width}, uint64_t{row.height},
                                 uint64_t{static_cast<uint8_t>(row.effect)}, uint64_t{row.weapon}})
        hash.AddNumber(field, 2);
}

// Each table goes in with its length, so rows moved from one table to the next change the hash.
template <typename Row, size_t N> void AddTable(Hash64& hash, const Row (&table)[N]) {
    hash.AddNumber(N, 2);
    for (const Row& row : table)
        AddRow(hash, row);
}

} // namespace

uint64_t RulesHash() {
    Hash64 hash;
    AddTable(hash, EnemyKinds);
    AddTable(hash, BossKinds);
    AddTable(hash, ShotKinds);
    AddTable(hash, AsteroidKinds);
    AddTable(hash, BonusKinds);
    // The fire intervals, past the table's end too: the safe interval of an index outside it counts.
    for (unsigned index = 0; index <= 16; ++index)
        hash.AddNumber(FireInterval(static_cast<uint8_t>(index)), 4);
    return hash.Value();
}
