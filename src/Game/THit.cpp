#include "Game/THit.h"

#include "Game/TGame.h"
#include "core/Ticks.h"
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"

namespace {

struct HitClass {
    uint16_t size; // frames are square
    uint8_t sprite;
};

constexpr HitClass HitClasses[] = {{16, 39}, {16, 40}, {16, 41}, {64, 42}, {64, 43}, {64, 44}};
constexpr uint32_t HitFrameMs = 30;

} // namespace

uint8_t HitSizeClass(uint8_t kind) {
    if (kind > 17) return 0;
    return static_cast<uint8_t>(kind % 3 + (kind >= 9 ? 3 : 0));
}

THit::THit(TGame& game, uint8_t kind, uint8_t slot, int16_t x, int16_t y, int8_t startFrame)
    : Game(game), SizeClass(HitSizeClass(kind)), Slot(slot), X(x), Y(y), Counter(startFrame),
      NowTick(game.StartTick), FrameTick(game.StartTick) {}

void THit::Step() {
    NowTick = Game.FrameTick;
    if (IntervalPassed(NowTick, FrameTick, HitFrameMs)) {
        ++Counter;
        FrameTick = NowTick;
    }
    if (Counter >= HitLastCounter && Slot < GameSlotCount && Game.Hits[Slot].get() == this)
        Game.Hits[Slot].reset(); // destroys this effect
}

void THit::Draw(Surface& target, float) const {
    if (Counter < 0 || Counter >= HitLastCounter) return; // still waiting, or played out
    const HitClass& hitClass = HitClasses[SizeClass < std::size(HitClasses) ? SizeClass : 0];
    DrawSprite(GameSprites[hitClass.sprite], target,
               MakeRect(hitClass.size * Counter, 0, hitClass.size, hitClass.size), X, Y);
}
