#include "Game/TBonus.h"

#include "Game/EnemyKinds.h"
#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/TMyShip.h"
#include "core/Between.h"
#include "core/Ticks.h"
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"

namespace {

constexpr int16_t FallStep = 3;
constexpr uint32_t FrameMs = 200;
constexpr uint8_t FrameCount = 8;
constexpr int16_t LeavesBelowY = 600;

} // namespace

const BonusKind& BonusKindOf(uint8_t kind) {
    return RowOf(BonusKinds, kind);
}

TBonus::TBonus(TGame& game, uint8_t slot, int16_t x, int16_t y)
    : Game(game), Kind(static_cast<uint8_t>(game.Rng.Next(BonusKindCount))), Slot(slot), X(x), Y(y), PrevY(y),
      LastTick(game.StartTick), FrameTick(game.StartTick) {}

void TBonus::Step() {
    PrevY = Y;
    Y = static_cast<int16_t>(Y + FallStep);
    const uint32_t now = Game.FrameTick;
    LastTick = now;
    if (IntervalPassed(now, FrameTick, FrameMs)) {
        ++Frame;
        FrameTick = now;
    }
    if (TouchesPlayer()) {
        ApplyEffect();
        RemoveFromGame(); // collected: never drawn
        return;
    }
    if (Frame >= FrameCount) Frame = 0;
    if (Y > LeavesBelowY) RemoveFromGame();
}

void TBonus::Draw(Surface& target, float fraction) const {
    const BonusKind& kind = BonusKindOf(Kind);
    DrawSprite(GameSprites[kind.sprite], target, MakeRect(kind.width * Frame, 0, kind.width, kind.height), X,
               Between(PrevY, Y, fraction));
}

bool TBonus::TouchesPlayer() const {
    const BonusKind& kind = BonusKindOf(Kind);
    return RectsIntersect(MakeRect(X, Y, kind.width, kind.height), Game.PlayerBounds());
}

// A gun bonus replaces any running upgrade and restarts its count; a second special of a kind already
// on board is lost.
void TBonus::ApplyEffect() const {
    TGame& game = Game;
    TMyShip& ship = *game.Ship;
    const BonusKind& kind = BonusKindOf(Kind);
    switch (kind.effect) {
    case BonusEffect::Armour:
        game.Armour = FullArmour;
        break;
    case BonusEffect::Life:
        game.Lives = static_cast<int16_t>(game.Lives + 1);
        break;
    case BonusEffect::Energy:
        game.Energy = FullEnergy;
        break;
    case BonusEffect::Gun:
        ship.Gun->SetWeapon(kind.weapon);
        ship.UpgradeSeconds = GunBonusSeconds;
        break;
    case BonusEffect::MegaSkull:
        ship.MegaSkullReady = true;
        break;
    case BonusEffect::MegaBomb:
        ship.MegaBombReady = true;
        break;
    }
}

void TBonus::RemoveFromGame() {
    if (Slot < GameSlotCount && Game.Bonuses[Slot].get() == this)
        Game.Bonuses[Slot].reset(); // destroys this bonus
}
