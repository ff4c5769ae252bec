#include "graphics/DerivedSprites.h"
#include "graphics/PackRecords.h"

#include "graphics/SpriteStore.h"

#include <algorithm>
#include <array>
#include <cmath>

std::unique_ptr<Surface> ShipHitFlashSprite;

namespace {

struct RampStop {
    double at;
    double r, g, b;
};
// Ice white: silver with a trace of the ship's blue, white-hot cores. Every hue is taken by some enemy
// shot (gold, orange, red, pink, violet, blue, cyan, green), all of them strongly coloured, so the
// player's shots are told apart by being nearly colourless.
constexpr std::array<RampStop, 4> ShotRamp{{
    {0.0, 45, 55, 70},
    {0.4, 165, 185, 205},
    {0.75, 230, 240, 250},
    {1.0, 255, 255, 255},
}};

uint32_t Red(uint32_t rgb) {
    return (rgb >> 16) & 0xFF;
}
uint32_t Green(uint32_t rgb) {
    return (rgb >> 8) & 0xFF;
}
uint32_t Blue(uint32_t rgb) {
    return rgb & 0xFF;
}

uint32_t Channel(double value) {
    return static_cast<uint32_t>(std::clamp(std::lround(value), 0L, 255L));
}

// Applies `recolour` to every pixel of `surface` that is not its colour key.
template <typename Recolour> void RecolourSurface(Surface& surface, Recolour recolour) {
    const uint32_t key = surface.HasColourKey() ? surface.ColourKey() : 0xFFFFFFFFu;
    for (int y = 0; y < surface.Height(); ++y) {
        uint32_t* row = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x)
            if (row[x] != key) row[x] = surface.MapRgb(recolour(row[x] & 0xFFFFFF));
    }
}

} // namespace

uint32_t PlayerShotColour(uint32_t rgb) {
    const double luma = (0.299 * Red(rgb) + 0.587 * Green(rgb) + 0.114 * Blue(rgb)) / 255.0;
    const double level = std::pow(luma, 0.65); // lifts the dark body, so the shot glows
    size_t upper = 1;
    while (upper + 1 < ShotRamp.size() && level > ShotRamp[upper].at)
        ++upper;
    const RampStop& low = ShotRamp[upper - 1];
    const RampStop& high = ShotRamp[upper];
    const double t = std::clamp((level - low.at) / (high.at - low.at), 0.0, 1.0);
    return Rgb(Channel(low.r + t * (high.r - low.r)), Channel(low.g + t * (high.g - low.g)),
               Channel(low.b + t * (high.b - low.b)));
}

uint32_t HitFlashColour(uint32_t rgb) {
    constexpr double Towards = 0.7;
    auto lift = [](uint32_t channel) { return Channel(channel + Towards * (255.0 - channel)); };
    return Rgb(lift(Red(rgb)), lift(Green(rgb)), lift(Blue(rgb)));
}

void MakeDerivedSprites() {
    for (auto& shot : PlayerShotSprites)
        if (shot) RecolourSurface(*shot, PlayerShotColour);
    ShipHitFlashSprite.reset();
    const Surface* ship = GameSprites[GameRecord::ShipSheet].get();
    if (!ship) return;
    ShipHitFlashSprite = Surface::Create(ship->Width(), ship->Height());
    if (!ShipHitFlashSprite) return;
    ShipHitFlashSprite->BlitWhole(*ship, 0, 0, false);
    ShipHitFlashSprite->SetColourKey(ship->ColourKey());
    RecolourSurface(*ShipHitFlashSprite, HitFlashColour);
}

void FreeDerivedSprites() {
    ShipHitFlashSprite.reset();
}
