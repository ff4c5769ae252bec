// The weapon mount every ship carries: owns up to 21 projectiles, fires volleys by weapon type at the
// rate of the fire-interval table, fires on its own at random for the opposition, and tests its
// projectiles against the other side.
#pragma once

#include "core/SlotList.h"
#include "platform/Surface.h"

#include <cstdint>
#include <memory>

struct TGame;
struct TPulya;

inline constexpr size_t GunShotSlots = 21;
inline constexpr double PlayerGunAngle = 3.15; // not pi: player shots drift slightly to the right

// Milliseconds between volleys by rate index; an index outside the table gets the safe interval.
uint32_t FireInterval(uint8_t rateIndex);

struct TGunner {
    TGunner(TGame& game, uint8_t rateIndex, uint8_t weaponType, const int16_t& ownerX, const int16_t& ownerY,
            bool isPlayerGun);
    ~TGunner();
    TGunner(const TGunner&) = delete;
    TGunner& operator=(const TGunner&) = delete;

    TGame& Game; // the game whose opposition or player its projectiles hit
    SlotList<TPulya, GunShotSlots> Shots;
    const int16_t* OwnerX;
    const int16_t* OwnerY;
    int8_t ShotsInFlight = 0; // projectiles of this gun in its slot list
    double Angle = 0;
    int16_t MuzzleX = 0;
    int16_t MuzzleY = 0;
    bool IsPlayerGun = false;
    bool HoldFire = false; // set by an owner that may not fire yet (a boss still above the field)
    uint8_t RateIndex = 0; // every place that sets it sets WeaponType to the same number
    uint8_t WeaponType = 0;
    uint32_t LastTick = 0;
    uint32_t LastShotTick = 0;
    // Every field but the owner's watched position and the projectiles, for the game's snapshot
    // (GameSnapshot.h).
    template <typename Fields> void ListFields(Fields& f) {
        f(ShotsInFlight, Angle, MuzzleX, MuzzleY, IsPlayerGun, HoldFire, RateIndex, WeaponType);
        f.Ticks(LastTick, LastShotTick);
    }

    // One volley if the fire interval has passed; true when the volley was fired.
    bool Fire();
    void FireOne(uint8_t kind, uint8_t sound, int16_t x, int16_t y, double angle);
    void CheckShot(uint8_t slot);
    void Step();
    void Draw(Surface& target, float fraction) const;

    void SetWeapon(uint8_t weapon) {
        RateIndex = weapon;
        WeaponType = weapon;
    }

  private:
    void FireVolley();
    bool HitsOpposition(const TPulya& shot, uint8_t slot);
    bool HitsPlayer(const TPulya& shot, uint8_t slot);
    void FreeShot(uint8_t slot);
    void ConsiderRandomFire(uint32_t now);
};
