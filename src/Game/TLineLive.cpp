#include "Game/TLineLive.h"

#include <cmath>

TLineLive::TLineLive(const int32_t& ownerLife, uint16_t barLength, uint16_t maxLife)
    : OwnerLife(&ownerLife),
      Scale(maxLife == 0 ? 0.0f : static_cast<float>(barLength) / static_cast<float>(maxLife)) {}

int32_t TLineLive::Length() const {
    // The scale is held in single precision; the product is formed in double so that, for example,
    // 1500 points at 225/3000 give 112.500004 and round up to 113.
    return static_cast<int32_t>(std::nearbyint(static_cast<double>(*OwnerLife) * static_cast<double>(Scale)));
}

void TLineLive::Draw(Surface& target, int16_t ownerX, int16_t ownerY) const {
    FillBar(ownerX + 2, ownerY - 10, Length(), target, LifeBarColour, 3);
}

void TLineLive::Step() {
    if (++ShowCount > LifeBarShowFrames) {
        ShowCount = 0;
        Visible = false;
    }
}

void FillBar(int32_t left, int32_t top, int32_t length, Surface& target, uint32_t colour, int32_t height) {
    if (length <= 0 || height <= 0) return;
    // With 1 x 1 corners the rounded rectangle is a plain filled rectangle, right and bottom exclusive.
    target.FillRect(MakeRect(left, top, length, height), colour);
}
