#include "Game/TPulya.h"

#include "core/Between.h"
#include "core/Ticks.h"
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"

#include <cmath>
#include <numbers>

namespace {

constexpr uint32_t ShotFrameMs = 200;
constexpr uint8_t FirstEnemyShotSprite = 22;

const Surface* ShotSheet(uint8_t kind, bool playerShot) {
    if (playerShot) return kind < PlayerShotSpriteCount ? PlayerShotSprites[kind].get() : nullptr;
    const int sprite = FirstEnemyShotSprite + kind;
    return sprite < GameSpriteCount ? GameSprites[sprite].get() : nullptr;
}

int16_t RoundToPixel(float value) {
    return static_cast<int16_t>(std::nearbyint(value));
}

} // namespace

const ShotKind& ShotKindOf(uint8_t kind) {
    return ShotKinds[kind < ShotKindCount ? kind : 0];
}

TPulya::TPulya(uint8_t kind, int16_t x, int16_t y, double angle, uint32_t now)
    : Kind(kind), Y(static_cast<float>(y)), X(static_cast<float>(x)), PrevY(Y), PrevX(X), Angle(angle),
      FrameTick(now) {}

TRect TPulya::GetBounds() const {
    const ShotKind& kind = ShotKindOf(Kind);
    return MakeRect(RoundToPixel(X), RoundToPixel(Y), kind.width, kind.height);
}

void TPulya::Draw(Surface& target, bool playerShot, float fraction) const {
    const ShotKind& kind = ShotKindOf(Kind);
    DrawSprite(ShotSheet(Kind, playerShot), target, MakeRect(kind.width * Frame, 0, kind.width, kind.height),
               Between(PrevX, X, fraction), Between(PrevY, Y, fraction));
}

void TPulya::Step(uint32_t now) {
    const ShotKind& kind = ShotKindOf(Kind);
    if (kind.frames > 1 && IntervalPassed(now, FrameTick, ShotFrameMs)) {
        ++Frame;
        FrameTick = now;
    }
    if (Frame >= kind.frames) Frame = 0;

    PrevX = X;
    PrevY = Y;
    const double heading = Angle + std::numbers::pi / 2;
    X = static_cast<float>(static_cast<double>(X) + std::cos(heading) * kind.speed);
    Y = static_cast<float>(static_cast<double>(Y) + std::sin(heading) * kind.speed);
}
