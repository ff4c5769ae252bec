// One enemy fighter or gunship: flies one of four movement patterns, fires its own kind's gun at the
// player, rams the player's ship, shows a life bar once hurt, and when its life is gone explodes, scores
// its value and sometimes drops a bonus.
#pragma once

#include "core/Rect.h"
#include "platform/Surface.h"

#include <cstdint>
#include <memory>

struct TGame;
struct TGunner;
struct TLineLive;

// Movement patterns; the pattern is also the side a group enters from.
inline constexpr uint8_t PatternStraightDown = 0;
inline constexpr uint8_t PatternSideToSide = 1;
inline constexpr uint8_t PatternWeave = 2;
inline constexpr uint8_t PatternDiagonal = 3;

// The picture of an armed ship, an enemy or a boss: its sprite `fraction` of the way from (prevX, prevY)
// to (x, y), its gun's projectiles, and its life bar while it shows.
void DrawArmedShip(Surface& target, uint8_t sprite, uint16_t width, uint16_t height, int16_t prevX,
                   int16_t prevY, int16_t x, int16_t y, const TGunner& gun, const TLineLive& lifeBar,
                   float fraction);

struct TEnemyShip {
    TEnemyShip(TGame& game, uint8_t kind, uint8_t pattern, int16_t x, int16_t y);
    ~TEnemyShip();
    TEnemyShip(const TEnemyShip&) = delete;
    TEnemyShip& operator=(const TEnemyShip&) = delete;

    TGame& Game;
    int16_t X = 0;
    int16_t Y = 0;
    int16_t PrevX = 0; // where the frame before left it: the picture slides from there
    int16_t PrevY = 0;
    int8_t DriftStep = 2;   // pattern 1's step, turned round at the side edges
    int16_t WeaveBaseX = 0; // centre column of the weave: the X given at creation
    uint8_t Kind = 0;
    uint8_t Pattern = 0;
    int32_t Life = 0;
    std::unique_ptr<TGunner> Gun;
    std::unique_ptr<TLineLive> LifeBar;
    // Every field but the gun and the life bar, for the game's snapshot (GameSnapshot.h).
    template <typename Fields> void ListFields(Fields& f) {
        f(X, Y, PrevX, PrevY, DriftStep, WeaveBaseX, Kind, Pattern, Life);
    }

    // One game frame; `slot` is the ship's engine slot. May destroy this ship (and empty that slot).
    void Step(uint8_t slot);
    void Draw(Surface& target, float fraction) const;
    void MoveAndRam();
    TRect GetBounds() const;

  private:
    void Move();
    void Ram();
    void Explode(uint8_t slot);
};
