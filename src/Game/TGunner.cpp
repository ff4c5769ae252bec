#include "Game/TGunner.h"

#include "Game/TAsteroid.h"
#include "Game/TBaseBoss.h"
#include "Game/TEnemyEngine.h"
#include "Game/TEnemyShip.h"
#include "Game/TGame.h"
#include "Game/TLineLive.h"
#include "Game/TPulya.h"
#include "audio/Audio.h"
#include "core/Ticks.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t FireIntervals[] = {400, 500, 700, 300, 500, 300, 300, 200, 150, 300, 300, 300, 300, 300};
// Rate index 14 (the kind-2 boss's other weapon) has no row: any index outside the table waits this long.
constexpr uint32_t SafeFireInterval = 300;

constexpr uint32_t OppositionFireMs = 1000;
// A projectile stays in play while any of its picture is on the field.
constexpr TRect FieldRect{0, 0, 800, 600};
constexpr int8_t OppositionShotLimit = 5;

// Where a volley's projectiles start: from the muzzle point of the volley or from the owner's corner.
enum class Origin : uint8_t { Muzzle, Owner };

struct VolleyShot {
    uint8_t kind;
    uint8_t sound;
    Origin origin;
    int16_t dx;
    int16_t dy;
    double angle; // added to the gun's angle
};

struct Volley {
    uint8_t count;
    VolleyShot shots[3];
};

constexpr Volley Volleys[] = {
    {1, {{0, SoundLaser, Origin::Muzzle, 5, 0, 0}}},
    // The second spread angle is a + 6.0, not a - 0.3: this spread is lopsided.
    {3,
     {{1, SoundRocket, Origin::Muzzle, 20, 0, 0},
      {1, SoundRocket, Origin::Muzzle, 20, 0, 0.3},
      {1, SoundRocket, Origin::Muzzle, 20, 0, 6.0}}},
    {1, {{2, SoundRocket, Origin::Muzzle, 0, 0, 0}}},
    {1, {{3, SoundRocket, Origin::Muzzle, -30, -80, 0}}},
    {3,
     {{4, SoundRocket, Origin::Muzzle, 0, 0, 0},
      {4, SoundRocket, Origin::Muzzle, 0, 0, 0.5},
      {4, SoundRocket, Origin::Muzzle, 0, 0, -0.5}}},
    {2, {{5, SoundPlasma, Origin::Muzzle, 36, 0, 0}, {5, SoundPlasma, Origin::Muzzle, 0, 0, 0}}},
    {1, {{6, SoundRocket, Origin::Muzzle, 5, 0, 0}}},
    {1, {{7, SoundPlasma, Origin::Muzzle, 5, 0, 0}}},
    {1, {{8, SoundLaser, Origin::Muzzle, 5, 0, 0}}},
    {1, {{9, SoundPlasma, Origin::Muzzle, 50, 0, 0}}},
    {1, {{10, SoundPlasma, Origin::Muzzle, 0, 0, 0}}},
    {1, {{11, SoundPlasma, Origin::Owner, 117, 225, 0}}},
    {1, {{12, SoundPlasma, Origin::Owner, 0, 0, 0}}},
    {1, {{13, SoundPlasma, Origin::Owner, 114, 280, 0}}},
    {1, {{13, SoundPlasma, Origin::Owner, 114, 280, 0}}},
};

int16_t RoundToPixel(float value) {
    return static_cast<int16_t>(std::nearbyint(value));
}

// Damage is subtracted from an asteroid's 8-bit strength without wrapping round to a positive value.
int8_t LowerStrength(int8_t strength, uint8_t damage) {
    return static_cast<int8_t>(std::max(static_cast<int>(strength) - damage, -128));
}

} // namespace

uint32_t FireInterval(uint8_t rateIndex) {
    return rateIndex < std::size(FireIntervals) ? FireIntervals[rateIndex] : SafeFireInterval;
}

TGunner::TGunner(TGame& game, uint8_t rateIndex, uint8_t weaponType, const int16_t& ownerX,
                 const int16_t& ownerY, bool isPlayerGun)
    : Game(game), OwnerX(&ownerX), OwnerY(&ownerY), Angle(isPlayerGun ? PlayerGunAngle : 0.0),
      IsPlayerGun(isPlayerGun), RateIndex(rateIndex), WeaponType(weaponType), LastTick(game.StartTick),
      LastShotTick(game.FrameTick) {}

TGunner::~TGunner() = default;

void TGunner::FireOne(uint8_t kind, uint8_t sound, int16_t x, int16_t y, double angle) {
    const auto slot = LowestEmptySlot(Shots);
    if (!slot) return;
    Shots[*slot] = std::make_unique<TPulya>(kind, x, y, angle, Game.FrameTick);
    ++ShotsInFlight; // counted out again in FreeShot, whatever ends the projectile
    PlaySoundEffect(x, y, sound);
}

bool TGunner::Fire() {
    const uint32_t now = Game.FrameTick;
    LastTick = now;
    if (!IntervalPassed(now, LastShotTick, FireInterval(RateIndex))) return false;
    const ShotKind& size = ShotKindOf(WeaponType);
    MuzzleX = static_cast<int16_t>(size.width / 2 + *OwnerX);
    MuzzleY = static_cast<int16_t>(size.height / 2 + *OwnerY);
    FireVolley();
    LastShotTick = now;
    return true;
}

void TGunner::FireVolley() {
    if (WeaponType >= std::size(Volleys)) return;
    const Volley& volley = Volleys[WeaponType];
    for (uint8_t i = 0; i < volley.count; ++i) {
        const VolleyShot& shot = volley.shots[i];
        const int16_t baseX = shot.origin == Origin::Muzzle ? MuzzleX : *OwnerX;
        const int16_t baseY = shot.origin == Origin::Muzzle ? MuzzleY : *OwnerY;
        FireOne(shot.kind, shot.sound, static_cast<int16_t>(baseX + shot.dx),
                static_cast<int16_t>(baseY + shot.dy), Angle + shot.angle);
    }
}

void TGunner::Step() {
    const uint32_t now = Game.FrameTick;
    LastTick = now;
    for (uint8_t slot = 0; slot < GunShotSlots; ++slot) {
        if (!Shots[slot]) continue;
        CheckShot(slot);
        // Tested where the last frame left it, then moved.
        if (Shots[slot]) Shots[slot]->Step(now);
    }
    ConsiderRandomFire(now);
}

void TGunner::Draw(Surface& target, float fraction) const {
    for (const auto& shot : Shots)
        if (shot) shot->Draw(target, IsPlayerGun, fraction);
}

void TGunner::ConsiderRandomFire(uint32_t now) {
    // The draw is made for every gun whose last volley is old enough, the player's included.
    if (!IntervalPassed(now, LastShotTick, OppositionFireMs)) return;
    if (Game.Rng.Next(100) != 1) return;
    if (ShotsInFlight >= OppositionShotLimit) return;
    if (IsPlayerGun || HoldFire) return;
    Fire();
    LastShotTick = now;
}

void TGunner::FreeShot(uint8_t slot) {
    Shots[slot].reset();
    --ShotsInFlight;
}

void TGunner::CheckShot(uint8_t slot) {
    const TPulya& shot = *Shots[slot];
    if (!RectsIntersect(shot.GetBounds(), FieldRect)) {
        FreeShot(slot);
        return;
    }
    if (IsPlayerGun)
        HitsOpposition(shot, slot);
    else
        HitsPlayer(shot, slot);
}

namespace {

// Only the part of a projectile that is on the field can hit: what cannot be seen does not hurt.
TRect HitRectangle(const TPulya& shot) {
    return Intersection(shot.GetBounds(), FieldRect);
}

} // namespace

bool TGunner::HitsOpposition(const TPulya& shot, uint8_t slot) {
    TGame& game = Game;
    const TRect hit = HitRectangle(shot);
    const int16_t x = RoundToPixel(shot.X), y = RoundToPixel(shot.Y);
    const uint8_t damage = ShotKindOf(shot.Kind).damage;

    for (auto& ship : game.Engine->Ships) {
        if (!ship || !RectsIntersect(hit, ship->GetBounds())) continue;
        game.SpawnHit(x, y, 0, 0);
        ship->LifeBar->Visible = true;
        ship->Life -= damage;
        FreeShot(slot);
        return true;
    }
    for (auto& asteroid : game.Asteroids) {
        if (!asteroid || !RectsIntersect(hit, asteroid->GetBounds())) continue;
        game.SpawnHit(x, y, 0, 0);
        asteroid->Strength = LowerStrength(asteroid->Strength, damage);
        game.Score += 10;
        FreeShot(slot);
        return true;
    }
    if (auto& boss = game.Engine->Boss; boss && RectsIntersect(hit, boss->GetBounds())) {
        game.SpawnHit(x, y, 0, 0);
        boss->LifeBar->Visible = true;
        boss->Life -= damage;
        FreeShot(slot);
        return true;
    }
    return false;
}

bool TGunner::HitsPlayer(const TPulya& shot, uint8_t slot) {
    TGame& game = Game;
    if (!RectsIntersect(HitRectangle(shot), game.PlayerBounds())) return false;
    const uint8_t damage = ShotKindOf(shot.Kind).damage;
    game.SpawnHit(RoundToPixel(shot.X), RoundToPixel(shot.Y), 0, 0);
    FreeShot(slot);
    game.DamagePlayer(damage);
    return true;
}
