// The player's warship: steered by the arrows and the mouse, fires its gun, banks, shifts the background
// layers for parallax, detects the loss of a life and fires the two special weapons. Energy, armour and
// lives live in the game.
#pragma once

#include "platform/Surface.h"

#include <cstdint>
#include <memory>

struct TGame;
struct TGunner;

inline constexpr int16_t ShipWidth = 65;
inline constexpr int16_t ShipHeight = 100;
inline constexpr int16_t ShipMaxX = 734;
inline constexpr int16_t ShipMinY = 40;
inline constexpr int16_t ShipMaxY = 500;
inline constexpr int16_t ShipStartX = 390;
inline constexpr int16_t ShipStartY = 500;
inline constexpr uint8_t SpecialChargeFull = 70;
inline constexpr int8_t StandardGunSeconds = 99;

struct TMyShip {
    explicit TMyShip(TGame& game);
    ~TMyShip();
    TMyShip(const TMyShip&) = delete;
    TMyShip& operator=(const TMyShip&) = delete;

    TGame& Game;
    int16_t X = 0;
    int16_t Y = 0;
    int16_t PrevX = 0; // where the frame before left it: the picture slides from there
    int16_t PrevY = 0;
    int8_t Tilt = 0; // bank frame 0 (full left) .. 4 (full right); 2 is level
    uint8_t FlameFrame = 0;
    uint8_t SpecialCharge = 0;
    std::unique_ptr<TGunner> Gun;
    bool MegaBombReady = false;
    bool MegaSkullReady = false;
    int8_t UpgradeSeconds = 0; // 99 while the standard gun is fitted
    uint32_t LastTick = 0;
    uint32_t FlameTick = 0;
    uint32_t UpgradeTick = 0;
    bool HitFlashing = false; // shown for a moment after damage; no rule of play reads it
    uint32_t HitFlashTick = 0;
    // Energy and armour as the last frame left them: any loss since flashes too.
    int16_t SeenEnergy = 0;
    int16_t SeenArmour = 0;
    // Every field but the gun, for the game's snapshot (GameSnapshot.h).
    template <typename Fields> void ListFields(Fields& f) {
        f(X, Y, PrevX, PrevY, Tilt, FlameFrame, SpecialCharge, MegaBombReady, MegaSkullReady, UpgradeSeconds,
          HitFlashing, SeenEnergy, SeenArmour);
        f.Ticks(LastTick, FlameTick, UpgradeTick, HitFlashTick);
    }

    void TakeDamage(uint8_t amount);
    void Step();
    void Draw(Surface& target, float fraction) const;

  private:
    void RunUpgradeClock(uint32_t now);
    void Steer();
    void ClampPosition();
    void EndHitFlash(uint32_t now);
    bool ShowsHitFlash() const;
    void FlashOnAnyLoss(int16_t energy, int16_t armour, uint32_t now);
    void LoseLife();
    void FireSpecial();
};

// The player ship's rectangle: always 65 x 100 at its position.
TRect ShipBounds(const TMyShip& ship);
