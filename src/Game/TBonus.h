// A pickup left by a destroyed enemy ship: drifts down with an animated picture and, when it touches
// the player's ship, repairs, arms or upgrades it at once.
#pragma once

#include "platform/Surface.h"

#include <cstdint>

enum class BonusEffect : uint8_t { Armour, Life, Energy, Gun, MegaSkull, MegaBomb };

struct TGame;
struct BonusKind {
    const char* name; // shown on the help screen
    uint16_t width;   // of one frame; the sheet holds eight frames in one row
    uint16_t height;
    uint8_t sprite; // GameSprites 45 + kind
    BonusEffect effect;
    uint8_t weapon; // the gun a gun bonus fits (rate index and weapon type)
};

inline constexpr BonusKind BonusKinds[] = {
    {"Armor", 58, 66, 45, BonusEffect::Armour, 0},
    {"Live", 60, 64, 46, BonusEffect::Life, 0},
    {"Energy", 56, 56, 47, BonusEffect::Energy, 0},
    {"Ionic gun", 62, 58, 48, BonusEffect::Gun, 1},
    {"Laser gun", 58, 56, 49, BonusEffect::Gun, 8},
    {"Plasma gun", 56, 58, 50, BonusEffect::Gun, 3},
    {"Missiles", 56, 58, 51, BonusEffect::Gun, 5},
    {"Mega-skull", 70, 68, 52, BonusEffect::MegaSkull, 0},
    {"mega-bomb", 58, 60, 53, BonusEffect::MegaBomb, 0},
};
inline constexpr uint8_t BonusKindCount = static_cast<uint8_t>(sizeof(BonusKinds) / sizeof(BonusKinds[0]));
inline constexpr int8_t GunBonusSeconds = 30;

const BonusKind& BonusKindOf(uint8_t kind);

struct TBonus {
    // Draws the kind, 0 .. 8.
    TBonus(TGame& game, uint8_t slot, int16_t x, int16_t y);
    TGame& Game;

    uint8_t Kind = 0;
    uint8_t Frame = 0;
    uint8_t Slot = 0;
    int16_t X = 0;
    int16_t Y = 0;
    int16_t PrevY = 0; // where the frame before left it: the picture slides from there
    uint32_t LastTick = 0;
    uint32_t FrameTick = 0; // the game's start at creation, so the first Step moves the animation on
    // Every field, for the game's snapshot (GameSnapshot.h).
    template <typename Fields> void ListFields(Fields& f) {
        f(Kind, Frame, Slot, X, Y, PrevY);
        f.Ticks(LastTick, FrameTick);
    }

    // One game frame. May destroy the bonus (and empty its slot in the game's bonus list).
    void Step();
    void Draw(Surface& target, float fraction) const;

  private:
    bool TouchesPlayer() const;
    void ApplyEffect() const;
    void RemoveFromGame();
};
