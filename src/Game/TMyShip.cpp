#include "Game/TMyShip.h"
#include "graphics/PackRecords.h"

#include "Game/TAsteroid.h"
#include "Game/TBaseBoss.h"
#include "Game/TEnemyEngine.h"
#include "Game/TEnemyShip.h"
#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/THit.h"
#include "Game/TRunBackground.h"
#include "audio/Audio.h"
#include "core/Between.h"
#include "core/Ticks.h"
#include "graphics/Blit.h"
#include "graphics/DerivedSprites.h"
#include "graphics/SpriteStore.h"
#include "platform/Input.h"

namespace {

constexpr int16_t ShipStep = 6;
constexpr uint32_t UpgradeClockMs = 1000;
constexpr uint32_t FlameMs = 60;
constexpr uint8_t MegaSkullShotKind = 6;
constexpr int16_t MegaBombBossDamage = 100;
constexpr int SpecialShots = 10;
constexpr int16_t SpecialSpacing = 80;
// A hit shows as the ship's picture flashing white: two blinks in about a fifth of a second.
constexpr uint32_t HitFlashMs = 180;
constexpr uint32_t HitBlinkMs = 45;

struct Controls {
    bool left, right, up, down, fire, special;
};

Controls ControlsOf(uint8_t bits) {
    return {(bits & ControlLeft) != 0, (bits & ControlRight) != 0, (bits & ControlUp) != 0,
            (bits & ControlDown) != 0, (bits & ControlFire) != 0,  (bits & ControlSpecial) != 0};
}

} // namespace

TRect ShipBounds(const TMyShip& ship) {
    return MakeRect(ship.X, ship.Y, ShipWidth, ShipHeight);
}

TMyShip::TMyShip(TGame& game)
    : Game(game), Gun(std::make_unique<TGunner>(game, 0, 0, X, Y, true)), LastTick(game.StartTick),
      FlameTick(game.StartTick), UpgradeTick(game.StartTick), HitFlashTick(game.StartTick) {}

TMyShip::~TMyShip() = default;

void TMyShip::TakeDamage(uint8_t amount) {
    TGame& game = Game;
    if (amount > 0) {
        HitFlashing = true;
        HitFlashTick = game.FrameTick;
    }
    if (game.Armour == 0) {
        game.Energy = static_cast<int16_t>(game.Energy - amount);
        return;
    }
    // Armour takes half and energy the other half; the odd unit of an odd amount is lost.
    const int16_t half = amount >> 1;
    game.Armour = static_cast<int16_t>(game.Armour - half);
    game.Energy = static_cast<int16_t>(game.Energy - half);
}

void TMyShip::RunUpgradeClock(uint32_t now) {
    if (IntervalPassed(now, UpgradeTick, UpgradeClockMs)) {
        --UpgradeSeconds;
        UpgradeTick = now;
    }
    if (UpgradeSeconds < 0) Gun->SetWeapon(0);
    if (Gun->RateIndex == 0) UpgradeSeconds = StandardGunSeconds;
}

void TMyShip::Steer() {
    TGame& game = Game;
    const Controls controls = ControlsOf(game.Controls);
    if (game.Phase != GamePhase::Play) {
        Tilt = 2;
        return;
    }
    if (controls.left) {
        X = static_cast<int16_t>(X - ShipStep);
        --Tilt;
        game.NearLayer->OffsetX = static_cast<int16_t>(game.NearLayer->OffsetX + 2);
        game.FarLayer->OffsetX = static_cast<int16_t>(game.FarLayer->OffsetX + 1);
    } else if (controls.right) {
        X = static_cast<int16_t>(X + ShipStep);
        ++Tilt;
        game.NearLayer->OffsetX = static_cast<int16_t>(game.NearLayer->OffsetX - 2);
        game.FarLayer->OffsetX = static_cast<int16_t>(game.FarLayer->OffsetX - 1);
    } else {
        Tilt = 2;
    }
    if (controls.up) Y = static_cast<int16_t>(Y - ShipStep);
    if (controls.down) Y = static_cast<int16_t>(Y + ShipStep);
}

// Pressed against a side, the ship takes back the layer shift of its steering, so the background
// does not drift.
void TMyShip::ClampPosition() {
    TGame& game = Game;
    if (Y < ShipMinY) Y = ShipMinY;
    if (Y > ShipMaxY) Y = ShipMaxY;
    if (X > ShipMaxX) {
        X = ShipMaxX;
        game.FarLayer->OffsetX = static_cast<int16_t>(game.FarLayer->OffsetX + 1);
        game.NearLayer->OffsetX = static_cast<int16_t>(game.NearLayer->OffsetX + 2);
    }
    if (X < 0) {
        X = 0;
        game.FarLayer->OffsetX = static_cast<int16_t>(game.FarLayer->OffsetX - 1);
        game.NearLayer->OffsetX = static_cast<int16_t>(game.NearLayer->OffsetX - 2);
    }
}

// TakeDamage starts the flash for the hits it takes; this makes it hold for every loss of energy or
// armour, whatever in the frame caused it.
void TMyShip::FlashOnAnyLoss(int16_t energy, int16_t armour, uint32_t now) {
    if (energy < SeenEnergy || armour < SeenArmour) {
        HitFlashing = true;
        HitFlashTick = now;
    }
    SeenEnergy = energy;
    SeenArmour = armour;
}

void TMyShip::EndHitFlash(uint32_t now) {
    if (HitFlashing && now - HitFlashTick >= HitFlashMs) HitFlashing = false;
}

bool TMyShip::ShowsHitFlash() const {
    return HitFlashing && ((LastTick - HitFlashTick) / HitBlinkMs) % 2 == 0 && ShipHitFlashSprite;
}

void TMyShip::Draw(Surface& target, float fraction) const {
    Gun->Draw(target, fraction); // the ship's projectiles are drawn beneath it
    const int frame = 2 * Tilt + FlameFrame;
    const std::unique_ptr<Surface>& sheet =
        ShowsHitFlash() ? ShipHitFlashSprite : GameSprites[GameRecord::ShipSheet];
    DrawDirectRect(sheet, target, MakeRect(ShipWidth * frame, 0, ShipWidth, ShipHeight),
                   Between(PrevX, X, fraction), Between(PrevY, Y, fraction), true);
}

void TMyShip::LoseLife() {
    TGame& game = Game;
    for (auto& hit : game.Hits)
        hit.reset();
    game.Phase = GamePhase::Restart;
    for (int i = 0; i < 5; ++i) {
        const int16_t dy = static_cast<int16_t>(game.Rng.Next(20));
        const int16_t dx = static_cast<int16_t>(game.Rng.Next(25));
        game.SpawnHit(static_cast<int16_t>(X + dx), static_cast<int16_t>(Y + dy), 11,
                      static_cast<int8_t>(10 * i - 40));
    }
    game.Lives = static_cast<int16_t>(game.Lives - 1);
}

void TMyShip::FireSpecial() {
    TGame& game = Game;
    const int16_t rowY = static_cast<int16_t>(Y - 5);
    if (MegaSkullReady) {
        for (int i = 0; i < SpecialShots; ++i)
            Gun->FireOne(MegaSkullShotKind, SoundSkeel, static_cast<int16_t>(SpecialSpacing * i), rowY,
                         Gun->Angle);
        MegaSkullReady = false;
        SpecialCharge = 0;
    } else if (MegaBombReady) {
        for (int i = 0; i < SpecialShots; ++i)
            PlaySoundEffect(SpecialSpacing * i, rowY, SoundSkeel);
        for (auto& ship : game.Engine->Ships)
            if (ship) ship->Life = -1;
        for (auto& asteroid : game.Asteroids)
            if (asteroid) asteroid->Strength = -1;
        if (game.Engine->Boss) game.Engine->Boss->Life -= MegaBombBossDamage;
        MegaBombReady = false;
        SpecialCharge = 0;
    }
}

void TMyShip::Step() {
    TGame& game = Game;
    const uint32_t now = game.FrameTick;
    PrevX = X;
    PrevY = Y;
    if (game.Armour < 0) game.Armour = 0;
    RunUpgradeClock(now);
    Steer();
    if (Tilt < 0) Tilt = 0;
    if (Tilt > 4) Tilt = 4;

    LastTick = now;
    FlashOnAnyLoss(game.Energy, game.Armour, now);
    if (IntervalPassed(now, FlameTick, FlameMs)) {
        FlameFrame ^= 1;
        FlameTick = now;
    }
    const Controls controls = ControlsOf(game.Controls);
    const bool inPlay = game.Phase == GamePhase::Play;
    if (controls.fire && inPlay) Gun->Fire();
    Gun->Step();

    ClampPosition();
    EndHitFlash(now);
    if (game.Phase == GamePhase::Play && game.Energy <= 0) LoseLife();

    if (SpecialCharge < SpecialChargeFull) ++SpecialCharge;
    if (SpecialCharge == SpecialChargeFull && controls.special && game.Phase == GamePhase::Play)
        FireSpecial();
}
