#include "Game/TEnemyShip.h"

#include "Game/EnemyKinds.h"
#include "Game/TBonus.h"
#include "Game/TEnemyEngine.h"
#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/TLineLive.h"
#include "core/Between.h"
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"

#include <cmath>

namespace {

constexpr int16_t FallStep = 2;
constexpr int8_t DriftRight = 2;
constexpr int8_t DriftLeft = -2;
constexpr double WeaveAmplitude = 70;
constexpr double WeaveWavelength = 70; // Y / 70 is the sine's angle in radians
constexpr int FieldWidth = 800;
constexpr uint32_t BonusDropChance = 6; // one destroyed ship in six drops a bonus
constexpr uint32_t BonusDropDraw = 1;

} // namespace

TEnemyShip::TEnemyShip(TGame& game, uint8_t kind, uint8_t pattern, int16_t x, int16_t y)
    : Game(game), X(x), Y(y), PrevX(x), PrevY(y), WeaveBaseX(x), Kind(kind), Pattern(pattern),
      Life(EnemyKindOf(kind).life) {
    Gun = std::make_unique<TGunner>(game, Kind, Kind, X, Y, false);
    const EnemyShipKind& row = EnemyKindOf(Kind);
    LifeBar = std::make_unique<TLineLive>(Life, row.width, row.life);
}

TEnemyShip::~TEnemyShip() = default;

TRect TEnemyShip::GetBounds() const {
    const EnemyShipKind& row = EnemyKindOf(Kind);
    return MakeRect(X, Y, row.width, row.height);
}

void TEnemyShip::Step(uint8_t slot) {
    PrevX = X;
    PrevY = Y;
    MoveAndRam();
    Gun->Step();
    if (Life <= 0) {
        Explode(slot); // destroys this ship
        return;
    }
    if (LifeBar->Visible) LifeBar->Step();
}

void DrawArmedShip(Surface& target, uint8_t sprite, uint16_t width, uint16_t height, int16_t prevX,
                   int16_t prevY, int16_t x, int16_t y, const TGunner& gun, const TLineLive& lifeBar,
                   float fraction) {
    const int16_t drawnX = Between(prevX, x, fraction), drawnY = Between(prevY, y, fraction);
    DrawSprite(GameSprites[sprite], target, MakeRect(0, 0, width, height), drawnX, drawnY);
    gun.Draw(target, fraction);
    if (lifeBar.Visible) lifeBar.Draw(target, drawnX, drawnY);
}

void TEnemyShip::Draw(Surface& target, float fraction) const {
    const EnemyShipKind& row = EnemyKindOf(Kind);
    DrawArmedShip(target, row.sprite, row.width, row.height, PrevX, PrevY, X, Y, *Gun, *LifeBar, fraction);
}

void TEnemyShip::MoveAndRam() {
    Move();
    if (X < 0) DriftStep = DriftRight;
    if (X + EnemyKindOf(Kind).width > FieldWidth) DriftStep = DriftLeft;
    Ram();
}

void TEnemyShip::Move() {
    switch (Pattern) {
    case PatternStraightDown:
        Y = static_cast<int16_t>(Y + FallStep);
        break;
    case PatternSideToSide:
        X = static_cast<int16_t>(X + DriftStep);
        break;
    case PatternWeave: {
        Y = static_cast<int16_t>(Y + FallStep);
        // Rounded half to even, as the default rounding mode does.
        const double offset = std::nearbyint(WeaveAmplitude * std::sin(Y / WeaveWavelength));
        X = static_cast<int16_t>(WeaveBaseX + static_cast<int>(offset));
        break;
    }
    case PatternDiagonal:
        Y = static_cast<int16_t>(Y + FallStep);
        X = static_cast<int16_t>(X + FallStep);
        break;
    default:
        break;
    }
}

void TEnemyShip::Ram() {
    Game.RamPlayer(GetBounds(), Life, *LifeBar);
}

void TEnemyShip::Explode(uint8_t slot) {
    TGame& game = Game;
    const EnemyShipKind& row = EnemyKindOf(Kind);
    game.SpawnHit(X, Y, row.explosion, 0);
    game.Score += row.life;
    if (game.Rng.Next(BonusDropChance) == BonusDropDraw) {
        if (const auto bonusSlot = LowestEmptySlot(game.Bonuses))
            game.Bonuses[*bonusSlot] = std::make_unique<TBonus>(game, static_cast<uint8_t>(*bonusSlot), X, Y);
    }
    auto& ships = game.Engine->Ships;
    if (slot < ships.size() && ships[slot].get() == this) ships[slot].reset(); // destroys this ship
}
