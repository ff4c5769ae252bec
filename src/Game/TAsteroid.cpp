#include "Game/TAsteroid.h"

#include "Game/EnemyKinds.h"
#include "Game/TGame.h"
#include "core/Between.h"
#include "core/Ticks.h"
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"

#include <algorithm>

namespace {

constexpr uint32_t KindChoices = 2;
constexpr int16_t FirstX = 50;
constexpr uint32_t XRange = 700; // x 50 .. 749
constexpr int16_t FieldMiddleX = 400;
constexpr uint32_t StepChoices = 2;
constexpr int16_t MinStepX = 1, MinStepY = 4;
constexpr uint32_t FrameMs = 200;
constexpr int16_t BrokenX = 810; // outside the field, so the asteroid is removed in the same frame
constexpr int FieldRight = 800, FieldBottom = 600, FieldMargin = -10;

} // namespace

const AsteroidKind& AsteroidKindOf(uint8_t kind) {
    return RowOf(AsteroidKinds, kind);
}

TAsteroid::TAsteroid(TGame& game, uint8_t slot)
    : Game(game), Slot(slot), NowTick(game.StartTick), FrameTick(game.StartTick) {
    Kind = static_cast<uint8_t>(game.Rng.Next(KindChoices));
    X = static_cast<int16_t>(FirstX + game.Rng.Next(XRange));
    StepX = static_cast<int16_t>(MinStepX + game.Rng.Next(StepChoices));
    StepY = static_cast<int16_t>(MinStepY + game.Rng.Next(StepChoices));
    if (X > FieldMiddleX) StepX = static_cast<int16_t>(-StepX);
    PrevX = X;
}

TRect TAsteroid::GetBounds() const {
    const AsteroidKind& kind = AsteroidKindOf(Kind);
    return MakeRect(X, Y, kind.width, kind.height);
}

void TAsteroid::Step() {
    PrevX = X;
    PrevY = Y;
    X = static_cast<int16_t>(X + StepX);
    Y = static_cast<int16_t>(Y + StepY);
    NowTick = Game.FrameTick;
    if (IntervalPassed(NowTick, FrameTick, FrameMs)) {
        ++Frame;
        FrameTick = NowTick;
    }
    RamPlayer();
    if (Frame >= AsteroidFrames) Frame = 0;
    if (OutOfPlay() && Slot < GameSlotCount && Game.Asteroids[Slot].get() == this)
        Game.Asteroids[Slot].reset(); // destroys this asteroid
}

void TAsteroid::Draw(Surface& target, float fraction) const {
    const AsteroidKind& kind = AsteroidKindOf(Kind);
    DrawSprite(GameSprites[kind.sprite], target, MakeRect(kind.width * Frame, 0, kind.width, kind.height),
               Between(PrevX, X, fraction), Between(PrevY, Y, fraction));
}

// The asteroid breaks on the ship: a spark at the lower-right corner of the overlap, just outside it.
void TAsteroid::RamPlayer() {
    TGame& game = Game;
    const TRect mine = GetBounds();
    const TRect ship = game.PlayerBounds();
    if (!RectsIntersect(mine, ship)) return;
    const int32_t right = std::min(mine.right, ship.right);
    const int32_t bottom = std::min(mine.bottom, ship.bottom);
    game.SpawnHit(static_cast<int16_t>(right), static_cast<int16_t>(bottom), 0, 0);
    X = BrokenX;
    game.DamagePlayer(AsteroidRamDamage);
}

bool TAsteroid::OutOfPlay() const {
    return X > FieldRight || Y > FieldBottom || X < FieldMargin || Y < FieldMargin || Strength < 1;
}
