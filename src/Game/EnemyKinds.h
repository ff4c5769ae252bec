// The opposition's tables: enemy-ship kinds and boss kinds, and the one bounds-checked row lookup every
// opposition table goes through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

// The row of `index`; an index outside the table reads row 0, so no table is ever read past its end.
template <typename Row, size_t N> constexpr const Row& RowOf(const Row (&table)[N], size_t index) {
    return table[index < N ? index : 0];
}

struct EnemyShipKind {
    uint16_t width;
    uint16_t height;
    uint16_t life;     // starting life, and the score for a kill
    uint8_t sprite;    // GameSprites image: one picture of the ship's full size
    uint8_t explosion; // hit kind of its death explosion
};

inline constexpr EnemyShipKind EnemyKinds[] = {
    {59, 28, 10, 10, 9},   {59, 28, 20, 11, 10}, {75, 102, 30, 12, 11},
    {57, 160, 30, 13, 12}, {75, 75, 50, 14, 13}, {80, 70, 50, 15, 14},
    {85, 110, 50, 16, 15}, {80, 75, 50, 17, 16}, {60, 75, 30, 18, 17},
};
inline constexpr uint8_t EnemyKindCount = static_cast<uint8_t>(std::size(EnemyKinds));

inline const EnemyShipKind& EnemyKindOf(uint8_t kind) {
    return RowOf(EnemyKinds, kind);
}

struct BossShipKind {
    uint16_t width;
    uint16_t height;
    uint16_t life;     // starting life, and the score for the kill
    uint8_t sprite;    // GameSprites image
    uint8_t gunType;   // the usual weapon; gunType + 1 is the other one, chosen about one frame in five
    uint8_t explosion; // hit kind of its ten death explosions
};

inline constexpr BossShipKind BossKinds[] = {
    {150, 180, 1000, 19, 9, 9},
    {235, 225, 2000, 20, 11, 10},
    {225, 280, 3000, 21, 13, 11},
};
inline constexpr uint8_t BossKindCount = static_cast<uint8_t>(std::size(BossKinds));

inline const BossShipKind& BossKindOf(uint8_t kind) {
    return RowOf(BossKinds, kind);
}
