#include "Game/TBaseBoss.h"

#include "Game/EnemyKinds.h"
#include "Game/TEnemyEngine.h"
#include "Game/TEnemyShip.h"
#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/TLineLive.h"

namespace {

constexpr uint8_t MovingDown = 0, MovingUp = 1;
constexpr uint32_t SpeedChangeChance = 200, SpeedChangeDraw = 3;
constexpr uint32_t SpeedChoices = 4;                         // 0 .. 3 pixels per frame
constexpr uint32_t WeaponChoices = 20, OtherWeaponBelow = 4; // the other weapon in 4 frames of 20
constexpr int16_t TargetCentre = 32;                         // the middle of the player's 65-pixel ship
// The ten death explosions, placed at once but staggered by their start frames.
constexpr int8_t ExplosionStarts[] = {0, -10, -20, -30, -50, -50, -40, -30, -20, 0};
constexpr int ExplosionInset = 10;
constexpr int ExplosionMargin = 20; // explosions land 10 .. size - 11 inside the boss

} // namespace

TBaseBoss::TBaseBoss(TGame& game, uint8_t kind) : Game(game), Kind(kind) {
    TargetX = game.PlayerX();
    const BossShipKind& row = BossKindOf(Kind);
    GunType = row.gunType;
    Y = static_cast<int16_t>(-row.height); // just above the field
    PrevY = Y;
    Gun = std::make_unique<TGunner>(game, GunType, GunType, X, Y, false);
    Life = row.life;
    LifeBar = std::make_unique<TLineLive>(Life, row.width, row.life);
}

TBaseBoss::~TBaseBoss() = default;

TRect TBaseBoss::GetBounds() const {
    const BossShipKind& row = BossKindOf(Kind);
    return MakeRect(X, Y, row.width, row.height);
}

void TBaseBoss::Step() {
    PrevX = X;
    PrevY = Y;
    Steer();
    Gun->HoldFire = Y + BossKindOf(Kind).height <= 0; // no shots while wholly above the field
    Gun->Step();
    if (Life <= 0) {
        Explode(); // destroys the boss
        return;
    }
    if (LifeBar->Visible) LifeBar->Step();
}

void TBaseBoss::Draw(Surface& target, float fraction) const {
    const BossShipKind& row = BossKindOf(Kind);
    DrawArmedShip(target, row.sprite, row.width, row.height, PrevX, PrevY, X, Y, *Gun, *LifeBar, fraction);
}

void TBaseBoss::Steer() {
    if (Game.Rng.Next(SpeedChangeChance) == SpeedChangeDraw)
        VerticalSpeed = static_cast<uint8_t>(Game.Rng.Next(SpeedChoices));
    MoveVertically();
    FollowTarget();
    Ram();
    ChooseWeapon();
}

void TBaseBoss::MoveVertically() {
    if (Y < 0) VerticalDir = MovingDown;
    if (Y > BossTurnUpY) VerticalDir = MovingUp;
    if (VerticalDir == MovingDown)
        Y = static_cast<int16_t>(Y + VerticalSpeed);
    else if (VerticalDir == MovingUp)
        Y = static_cast<int16_t>(Y - VerticalSpeed);
}

// The boss's centre follows the centre of the player's ship at one pixel per frame.
void TBaseBoss::FollowTarget() {
    if (!TargetX) return;
    const auto goal = static_cast<int16_t>(*TargetX + TargetCentre - BossKindOf(Kind).width / 2); // 16-bit
    if (goal > X) X = static_cast<int16_t>(X + 1);
    if (goal < X) X = static_cast<int16_t>(X - 1);
}

void TBaseBoss::Ram() {
    Game.RamPlayer(GetBounds(), Life, *LifeBar);
}

void TBaseBoss::ChooseWeapon() {
    const bool other = Game.Rng.Next(WeaponChoices) < OtherWeaponBelow;
    Gun->SetWeapon(static_cast<uint8_t>(other ? GunType + 1 : GunType));
}

void TBaseBoss::Explode() {
    TGame& game = Game;
    const BossShipKind& row = BossKindOf(Kind);
    for (const int8_t start : ExplosionStarts) {
        const auto ry = static_cast<int>(game.Rng.Next(row.height - ExplosionMargin)); // y is drawn first
        const auto rx = static_cast<int>(game.Rng.Next(row.width - ExplosionMargin));
        game.SpawnHit(static_cast<int16_t>(X + ExplosionInset + rx),
                      static_cast<int16_t>(Y + ExplosionInset + ry), row.explosion, start);
    }
    game.Score += row.life;
    if (game.Engine->Boss.get() == this) game.Engine->Boss.reset(); // destroys this boss
    game.NextStage();
}
