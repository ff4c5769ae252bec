// The 60 game sprites in pack order. The groups live in GameArtBackdrops, GameArtShips, GameArtShots,
// GameArtEffects and GameArtPickups; the HUD bars and the pause stripe are small enough to live here.
#include "GameArt.h"
#include "graphics/PackRecords.h"

#include <cstdio>
#include <cstdlib>

namespace art {

namespace {

constexpr int BarWidth = 10;
constexpr int BarHeight = 124;

// A glass tube lit from the left with a dark notch every few pixels, coloured from bottom to top,
// so that the part left showing when the bar runs low keeps the low end's colour.
Picture DrawBar(Rgb bottom, Rgb middle, Rgb top) {
    return DrawOne(BarWidth, BarHeight, [&](cairo_t* cr) {
        cairo_pattern_t* along = cairo_pattern_create_linear(0, BarHeight, 0, 0);
        AddStop(along, 0, bottom);
        AddStop(along, 0.5, middle);
        AddStop(along, 1, top);
        cairo_rectangle(cr, 0, 0, BarWidth, BarHeight);
        cairo_set_source(cr, along);
        cairo_fill(cr);
        cairo_pattern_destroy(along);

        cairo_pattern_t* across = cairo_pattern_create_linear(0, 0, BarWidth, 0);
        cairo_pattern_add_color_stop_rgba(across, 0, 0, 0, 0, 0.55);
        cairo_pattern_add_color_stop_rgba(across, 0.3, 1, 1, 1, 0.45);
        cairo_pattern_add_color_stop_rgba(across, 0.5, 1, 1, 1, 0.0);
        cairo_pattern_add_color_stop_rgba(across, 1, 0, 0, 0, 0.6);
        cairo_rectangle(cr, 0, 0, BarWidth, BarHeight);
        cairo_set_source(cr, across);
        cairo_fill(cr);
        cairo_pattern_destroy(across);

        for (int y = 3; y < BarHeight; y += 4) {
            cairo_rectangle(cr, 0, y, BarWidth, 1);
            SetColour(cr, {0, 0, 0}, 0.45);
            cairo_fill(cr);
        }
    });
}

// The unused record 54: a small four-pointed star.
Picture DrawSpareStar() {
    return DrawOne(
        32, 32,
        [](cairo_t* cr) {
            Glow(cr, 16, 16, 12, Hex(0xFFF2A0), Hex(0x805010));
            Polygon(cr, {{16, 1},
                         {18.5, 13.5},
                         {31, 16},
                         {18.5, 18.5},
                         {16, 31},
                         {13.5, 18.5},
                         {1, 16},
                         {13.5, 13.5}});
            SetColour(cr, Hex(0xFFFFE0));
            cairo_fill(cr);
        },
        MagentaKey, 100);
}

void Append(std::vector<Picture>& records, std::vector<Picture> group) {
    for (Picture& picture : group)
        records.push_back(std::move(picture));
}

// Appends the group as records first, first + 1 ...; a group drawn out of the order the game reads
// (graphics/PackRecords.h) stops the generator instead of making a pack with pictures in wrong places.
void PutRecords(std::vector<Picture>& records, int first, std::vector<Picture> group) {
    if (records.size() != static_cast<size_t>(first)) {
        std::fprintf(stderr, "assetgen: game record %d would be written as record %zu\n", first,
                     records.size());
        std::exit(1);
    }
    Append(records, std::move(group));
}

void PutRecord(std::vector<Picture>& records, int record, Picture picture) {
    std::vector<Picture> one;
    one.push_back(std::move(picture));
    PutRecords(records, record, std::move(one));
}

} // namespace

Picture DrawArmourBar() {
    return DrawBar(Hex(0x1030A0), Hex(0x2080E0), Hex(0x80E8FF));
}
Picture DrawEnergyBar() {
    return DrawBar(Hex(0xE02010), Hex(0xF0D020), Hex(0x30F040));
}

} // namespace art

std::vector<Picture> DrawGameSprites() {
    using namespace art;
    std::vector<Picture> records;
    PutRecord(records, GameRecord::ArmourBar, DrawArmourBar());
    PutRecord(records, GameRecord::EnergyBar, DrawEnergyBar());
    PutRecord(records, GameRecord::FarStarfield, DrawFarStarfield());
    PutRecords(records, GameRecord::FirstNearTile, DrawNearTiles());
    PutRecord(records, GameRecord::ShipSheet, DrawPlayerShip());
    PutRecord(records, GameRecord::PauseStripe, BlankPicture(800, 1, 0x0A140A));
    Append(records, DrawEnemyShips());
    Append(records, DrawBosses());
    PutRecords(records, GameRecord::FirstShot, DrawProjectiles());
    Append(records, DrawAsteroids());
    Append(records, DrawHitSparks());
    Append(records, DrawExplosions());
    Append(records, DrawBonuses());
    records.push_back(DrawSpareStar());
    Append(records, DrawGunIcons());
    if (records.size() != GameRecordCount) {
        std::fprintf(stderr, "assetgen: drew %zu game sprites instead of %d\n", records.size(),
                     GameRecordCount);
        std::exit(1);
    }
    return records;
}
