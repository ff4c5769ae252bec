#include "PackFixture.h"

#include "graphics/Blit.h"
#include "graphics/DerivedSprites.h"
#include "graphics/SpriteStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace {

constexpr uint32_t Marker = Rgb(10, 20, 30);

// A sprite whose every pixel tells its own column: red = column, green = row.
std::unique_ptr<Surface> ColumnSprite(int width, int height) {
    auto sprite = Surface::Create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            sprite->SetPixel(x, y, Rgb(x & 0xFF, y & 0xFF, 200));
    sprite->SetColourKey(sprite->MapRgb(ColourMagenta));
    return sprite;
}

std::unique_ptr<Surface> MarkedBackBuffer() {
    auto back = Surface::Create(800, 600);
    back->Fill(Marker);
    return back;
}

} // namespace

TEST(DrawSprite, FrameAtTheRightEdgeShowsItsFirstColumns) {
    auto sheet = ColumnSprite(256, 64);
    auto back = MarkedBackBuffer();
    DrawSprite(sheet, *back, TRect{128, 0, 192, 64}, 760, 10);
    EXPECT_EQ(back->Pixel(760, 10) >> 16, 128u);
    EXPECT_EQ(back->Pixel(799, 10) >> 16, 167u);
    EXPECT_EQ(back->Pixel(759, 10), Marker);
}

TEST(DrawSprite, ClipsLeftTopAndBottom) {
    auto sprite = ColumnSprite(50, 50);
    auto back = MarkedBackBuffer();
    DrawSprite(sprite, *back, TRect{0, 0, 50, 50}, -10, 570);
    EXPECT_EQ(back->Pixel(0, 570) >> 16, 10u); // the eleventh column lands on column 0
    EXPECT_EQ((back->Pixel(0, 597) >> 8) & 0xFF, 27u);
    EXPECT_EQ(back->Pixel(0, 598), Marker); // the two bottom rows are never drawn
    EXPECT_EQ(back->Pixel(0, 599), Marker);
}

TEST(DrawSprite, OffScreenSpritesDrawNothing) {
    auto sprite = ColumnSprite(50, 50);
    auto back = MarkedBackBuffer();
    for (auto [x, y] : {std::pair{800, 10}, {900, 10}, {-50, 10}, {10, -50}, {10, 598}, {-32768, -32768}})
        DrawSprite(sprite, *back, TRect{0, 0, 50, 50}, static_cast<int16_t>(x), static_cast<int16_t>(y));
    for (int y = 0; y < 600; y += 7)
        for (int x = 0; x < 800; x += 7)
            ASSERT_EQ(back->Pixel(x, y), Marker);
}

TEST(DrawSprite, WideSpriteIsClippedOnBothSides) {
    auto sprite = ColumnSprite(1000, 4);
    auto back = MarkedBackBuffer();
    DrawSprite(sprite, *back, TRect{0, 0, 1000, 4}, -100, 0);
    EXPECT_EQ(back->Pixel(0, 0) >> 16, 100u);
    EXPECT_EQ(back->Pixel(799, 0) >> 16, (899u & 0xFF));
    EXPECT_EQ(DrawSprite(nullptr, *back, TRect{0, 0, 1, 1}, 0, 0), BlitFailed);
}

// The keyed blit works on groups of pixels: every width around the group size, every edge clipped, and
// key pixels whose unused top byte is set, against the rule pixel by pixel.
// Where the key lies in a sprite row: short runs, middling runs, and one long run each side of a hole.
const std::function<bool(int x, int y, int width)> KeyPatterns[] = {
    [](int x, int y, int) { return (x * 7 + y * 3) % 5 == 0; },
    [](int x, int y, int) { return (x + y) % 37 < 3; },
    [](int x, int, int width) { return x == width / 2; },
};

// Both ways a keyed sprite is drawn: testing every pixel, and copying the solid runs noted at load.
TEST(DrawSprite, KeyedBlitMatchesThePixelRuleAtEveryWidthAndEdge) {
    struct Case {
        int width;
        int x;
        int y;
    };
    const Case cases[] = {{1, 5, 5},   {7, 5, 5},    {8, 5, 5},   {9, 5, 5},    {17, 5, 5},
                          {31, -3, 5}, {33, 790, 5}, {40, 5, -2}, {40, 5, 595}, {300, -10, 590}};
    for (const bool indexed : {false, true})
        for (const auto& isKey : KeyPatterns)
            for (const Case& c : cases) {
                auto sprite = Surface::Create(c.width, 6);
                for (int y = 0; y < 6; ++y)
                    for (int x = 0; x < c.width; ++x)
                        sprite->SetPixel(x, y, isKey(x, y, c.width) ? ColourMagenta : Rgb(x & 0xFF, y, 77));
                SetSurfaceColourKey(*sprite, ColourMagenta);
                sprite->Row(0)[0] |= 0xFF000000; // the top byte is not colour: keyed stays keyed
                if (indexed) sprite->IndexSolidRuns();
                ASSERT_EQ(sprite->HasSolidRuns(), indexed);
                auto back = MarkedBackBuffer();
                DrawSprite(sprite, *back, TRect{0, 0, c.width, 6}, static_cast<int16_t>(c.x),
                           static_cast<int16_t>(c.y));
                for (int y = 0; y < 6; ++y)
                    for (int x = 0; x < c.width; ++x) {
                        const int bx = c.x + x;
                        const int by = c.y + y;
                        if (bx < 0 || bx >= ClipRight || by < 0 || by >= ClipBottom) continue;
                        const uint32_t colour = sprite->Pixel(x, y);
                        ASSERT_EQ(back->Pixel(bx, by), colour == ColourMagenta ? Marker : colour)
                            << (indexed ? "runs" : "pixels") << ", width " << c.width << " at " << c.x << ","
                            << c.y << ", pixel " << x << "," << y;
                    }
                EXPECT_EQ(back->Pixel(c.x + c.width < 800 ? c.x + c.width : 0, c.y > 0 ? c.y : 10), Marker)
                    << "nothing right of the sprite";
            }
}

TEST(DrawSprite, ChangingAnIndexedSpriteForgetsItsRuns) {
    auto sprite = ColumnSprite(8, 2);
    sprite->IndexSolidRuns();
    sprite->SetPixel(3, 0, ColourMagenta); // now a hole the runs did not know
    EXPECT_FALSE(sprite->HasSolidRuns());
    auto back = MarkedBackBuffer();
    DrawSprite(sprite, *back, TRect{0, 0, 8, 2}, 0, 0);
    EXPECT_EQ(back->Pixel(3, 0), Marker);
    EXPECT_EQ(back->Pixel(3, 1), Rgb(3, 1, 200));
}

// A fill waits until the surface is drawn on or read; the picture must be the one an immediate fill gives,
// whatever the copies that come after it cover.
TEST(Surface, AWaitingFillShowsWhereverNothingSolidWasDrawnOverIt) {
    auto solidTile = ColumnSprite(300, 200); // no key pixel at all
    solidTile->IndexSolidRuns();
    auto holedTile = ColumnSprite(300, 200);
    for (int y = 0; y < 200; ++y)
        holedTile->SetPixel((y * 3) % 300, y, ColourMagenta);
    holedTile->IndexSolidRuns();
    auto unindexedTile = ColumnSprite(300, 200);
    auto screen = ColumnSprite(800, 600);
    struct Draw {
        const Surface* sprite;
        int x;
        int y;
        bool keyed;
    };
    const std::vector<std::vector<Draw>> cases = {
        {{screen.get(), 0, 0, false}}, // one picture over everything
        {{screen.get(), 0, 5, false}}, // all but the top rows
        {{solidTile.get(), -100, -50, true},
         {solidTile.get(), 200, -50, true},
         {solidTile.get(), 500, -50, true}},
        {{solidTile.get(), 500, 10, true}, {solidTile.get(), 250, 10, true}, {solidTile.get(), 0, 10, true}},
        {{solidTile.get(), 250, 10, true}, {solidTile.get(), 0, 100, true}}, // the middle, then a left end
        {{holedTile.get(), 0, 0, true}, {holedTile.get(), 300, 0, true}},
        {{unindexedTile.get(), -20, 0, true}, {solidTile.get(), 10, 30, false}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        auto waiting = Surface::Create(800, 600);
        auto immediate = Surface::Create(800, 600);
        for (Surface* target : {waiting.get(), immediate.get()}) {
            target->Fill(Marker);
            (void)target->Row(0); // stale pixels that the next fill must replace
            target->Fill(Rgb(250, 0, 0));
        }
        (void)immediate->Row(0); // this one fills now
        for (const Draw& draw : cases[i])
            for (Surface* target : {waiting.get(), immediate.get()})
                target->BlitWhole(*draw.sprite, draw.x, draw.y, draw.keyed);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                ASSERT_EQ(waiting->Pixel(x, y), immediate->Pixel(x, y))
                    << "case " << i << " at " << x << "," << y;
    }
}

TEST(DrawSprite, KeyedPixelsAreLeftOutAndTheCallersRectangleIsKept) {
    auto sprite = Surface::Create(4, 1);
    sprite->SetPixel(0, 0, ColourMagenta);
    sprite->SetPixel(1, 0, Rgb(1, 2, 3));
    SetSurfaceColourKey(*sprite, ColourMagenta);
    auto back = MarkedBackBuffer();
    const TRect source{0, 0, 4, 1};
    DrawSprite(sprite, *back, source, 798, 0);
    EXPECT_EQ(back->Pixel(798, 0), Marker);
    EXPECT_EQ(back->Pixel(799, 0), Rgb(1, 2, 3));
    EXPECT_EQ(source, (TRect{0, 0, 4, 1}));
}

class PackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder =
            std::filesystem::temp_directory_path() /
            ("vantorix-pack-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder);
        path = (folder / "Data.pp").string();
    }
    void TearDown() override {
        FreeSpriteStore();
        std::filesystem::remove_all(folder);
    }
    std::string ErrorOf(int record) {
        try {
            LoadPackImage(path, record);
        } catch (const PackError& error) {
            return error.what();
        }
        return "";
    }
    std::filesystem::path folder;
    std::string path;
};

TEST_F(PackTest, RecordsAreFoundOnlyThroughTheLengthsBeforeThem) {
    WriteBytes(path, ChainRecords({EncodeTestBmp(SolidPicture(3, 2, Rgb(1, 1, 1))),
                                   EncodeTestBmp(SolidPicture(5, 4, Rgb(9, 8, 7)))}));
    auto second = LoadPackImage(path, 1);
    EXPECT_EQ(second->Width(), 5);
    EXPECT_EQ(second->Pixel(4, 3), Rgb(9, 8, 7));
    // A bigger first picture moves the second; nothing else in the file says where it is.
    WriteBytes(path, ChainRecords({EncodeTestBmp(SolidPicture(30, 20, Rgb(1, 1, 1))),
                                   EncodeTestBmp(SolidPicture(5, 4, Rgb(9, 8, 7)))}));
    EXPECT_EQ(LoadPackImage(path, 1)->Pixel(0, 0), Rgb(9, 8, 7));
}

TEST_F(PackTest, DamagedPacksNameTheFileAndTheRecord) {
    EXPECT_NE(ErrorOf(0).find("Data.pp"), std::string::npos) << "missing file";
    const auto good = EncodeTestBmp(SolidPicture(2, 2, 0));
    WriteBytes(path, ChainRecords({good}));
    EXPECT_NE(ErrorOf(3).find("record 1 is missing: the file ends after record 0"), std::string::npos);

    auto pack = ChainRecords({good, good});
    pack[good.size() + 4] = 0xFF; // record 1 claims far more than is left
    pack[good.size() + 5] = 0xFF;
    pack[good.size() + 6] = 0xFF;
    pack[good.size() + 7] = 0x7F;
    WriteBytes(path, pack);
    const std::string tooLong = ErrorOf(1);
    EXPECT_NE(tooLong.find("record 1"), std::string::npos);
    EXPECT_NE(tooLong.find("left in the file"), std::string::npos);

    WriteBytes(path, ChainRecords({{'N', 'O', 'T', 'B', 'M', 'P'}}));
    EXPECT_NE(ErrorOf(0).find("not a BMP"), std::string::npos);
    auto truncatedBmp = good;
    truncatedBmp.resize(30);
    WriteBytes(path, ChainRecords({truncatedBmp}));
    EXPECT_NE(ErrorOf(0).find("record 0"), std::string::npos);

    // A file far larger than any pack is refused before it is read (a sparse file: no disk used).
    std::filesystem::resize_file(path, (uint64_t{1} << 30) + 1);
    EXPECT_NE(ErrorOf(0).find("more than any pack of pictures needs"), std::string::npos);
}

TEST_F(PackTest, EveryUncompressedBmpLayoutDecodesToItsColours) {
    constexpr uint32_t Teal = Rgb(0, 128, 128), Gold = Rgb(250, 200, 10), Plum = Rgb(90, 20, 70);
    struct Case {
        const char* name;
        RawBmp bmp;
        std::vector<uint32_t> colours; // top row first
    };
    const std::vector<Case> cases = {
        {"1 bit, rows wider than a byte",
         {9, 2, 1, {0, 1, 0, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}, {Teal, Gold}},
         {Teal, Gold, Teal, Gold, Gold, Teal, Teal, Gold, Gold, Gold, Gold, Gold, Gold, Gold, Gold, Gold,
          Gold, Teal}},
        {"4 bits", {3, 2, 4, {2, 0, 1, 1, 2, 0}, {Teal, Gold, Plum}}, {Plum, Teal, Gold, Gold, Plum, Teal}},
        {"8 bits, index past the colour table is black",
         {3, 1, 8, {1, 0, 200}, {Teal, Gold}},
         {Gold, Teal, 0}},
        {"1 bit, core header", {2, 1, 1, {1, 0}, {Teal, Gold}, {}, 12}, {Gold, Teal}},
        {"16 bits 5-5-5",
         {3, 1, 16, {0x7C00, 0x03E0, 0x0421}},
         {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(8, 8, 8)}},
        {"16 bits 5-6-5 fields",
         {2, 1, 16, {0xF800, 0x07E0}, {}, {0xF800, 0x07E0, 0x001F}},
         {Rgb(255, 0, 0), Rgb(0, 255, 0)}},
        {"24 bits top-down", {2, -2, 24, {Teal, Gold, Plum, 0}}, {Teal, Gold, Plum, 0}},
        {"32 bits, the fourth byte ignored",
         {2, 1, 32, {0xAA000000 | Gold, 0x55000000 | Plum}},
         {Gold, Plum}},
        {"32 bits, fields in another order",
         {1, 1, 32, {0x11223344}, {}, {0x000000FF, 0x0000FF00, 0x00FF0000}},
         {Rgb(0x44, 0x33, 0x22)}},
    };
    std::vector<std::vector<uint8_t>> records;
    for (const Case& c : cases)
        records.push_back(EncodeRawBmp(c.bmp));
    WriteBytes(path, ChainRecords(records));
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto surface = LoadPackImage(path, static_cast<int>(i));
        const int width = cases[i].bmp.width;
        ASSERT_EQ(surface->Width(), width) << cases[i].name;
        ASSERT_EQ(surface->Height() * width, static_cast<int>(cases[i].colours.size())) << cases[i].name;
        for (size_t p = 0; p < cases[i].colours.size(); ++p)
            EXPECT_EQ(surface->Pixel(p % width, p / width), cases[i].colours[p])
                << cases[i].name << " pixel " << p;
        EXPECT_EQ(surface->ColourKey(), surface->MapRgb(ColourMagenta)) << cases[i].name;
    }
}

// Headers are checked against their record before anything is allocated for the picture.
TEST_F(PackTest, DamagedBmpHeadersAreRefusedWithTheirReason) {
    const auto good = EncodeTestBmp(SolidPicture(4, 3, Rgb(1, 2, 3)));
    const auto put32 = [](std::vector<uint8_t>& bmp, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"gigantic", [&](auto& b) { put32(b, 18, 16384), put32(b, 22, 32768); },
         "16384 x 32768 pixels, larger"},
        {"tall top-down", [&](auto& b) { put32(b, 22, 0x80000000u); }, "larger than any picture"},
        {"wide and flat", [&](auto& b) { put32(b, 18, 2048), put32(b, 22, 2048); },
         "larger than any picture"},
        {"no width", [&](auto& b) { put32(b, 18, 0); }, "an empty BMP image"},
        {"rows past the end", [](auto& b) { b.pop_back(); }, "the record has 89"},
        {"rows start in the header", [&](auto& b) { put32(b, 10, 20); }, "start inside its header"},
        {"rows start past the end", [&](auto& b) { put32(b, 10, 0xFFFFFFF0u); }, "from offset 4294967280"},
        {"odd depth", [](auto& b) { b[28] = 7; }, "7 bits per pixel"},
        {"run-length coded", [](auto& b) { b[28] = 8, b[30] = 1; }, "compressed BMP image (method 1"},
        {"unknown header", [&](auto& b) { put32(b, 14, 20); }, "unknown info header of 20 bytes"},
        {"header longer than the record", [&](auto& b) { put32(b, 14, 0xFFFFFF00u); }, "cut short"},
        {"colour table past the end", [&](auto& b) { b[28] = 8, put32(b, 46, 256); },
         "colour table runs past"},
        {"masks past the end", [](auto& b) { b[28] = 32, b[30] = 3, b.resize(60); }, "masks are cut short"},
    };
    for (const Case& c : cases) {
        auto bmp = good;
        c.damage(bmp);
        WriteBytes(path, ChainRecords({good, bmp}));
        const std::string error = ErrorOf(1);
        EXPECT_NE(error.find("record 1 is "), std::string::npos) << c.name << ": " << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
    }
}

TEST(SpriteStore, GeneratedPackLoadsWithItsColourKeysAndTheShipColouredMirroredShots) {
    ASSERT_NO_THROW(LoadSpriteStore());
    for (int i = 0; i < GameSpriteCount; ++i) {
        ASSERT_TRUE(GameSprites[i]) << i;
        const uint32_t key = (i >= 3 && i <= 7) ? ColourBlack : ColourMagenta;
        EXPECT_EQ(GameSprites[i]->ColourKey(), GameSprites[i]->MapRgb(key)) << i;
    }
    for (int i = 0; i < InterfaceSpriteCount; ++i) {
        ASSERT_TRUE(InterfaceSprites[i]) << i;
        EXPECT_EQ(InterfaceSprites[i]->ColourKey(), InterfaceSprites[i]->MapRgb(ColourMagenta)) << i;
    }
    // The player's shots are the enemy's sheets turned over and recoloured; the ship's hit flash is
    // its sheet lit up; both keep every transparent pixel where it was.
    auto expectDerived = [](const Surface& made, const Surface& from, bool upsideDown, auto colour) {
        ASSERT_EQ(made.Width(), from.Width());
        ASSERT_EQ(made.Height(), from.Height());
        for (int y = 0; y < made.Height(); ++y)
            for (int x = 0; x < made.Width(); x += 3) {
                const uint32_t original = from.Pixel(x, upsideDown ? from.Height() - 1 - y : y);
                ASSERT_EQ(made.Pixel(x, y), original == ColourMagenta ? original : colour(original))
                    << x << "," << y;
            }
    };
    for (int j = 0; j < PlayerShotSpriteCount; ++j) {
        SCOPED_TRACE(j);
        expectDerived(*PlayerShotSprites[j], *GameSprites[FirstShotRecord + j], true, PlayerShotColour);
    }
    ASSERT_TRUE(ShipHitFlashSprite);
    expectDerived(*ShipHitFlashSprite, *GameSprites[8], false, HitFlashColour);
    EXPECT_EQ(ShipHitFlashSprite->ColourKey(), GameSprites[8]->ColourKey());
    FreeSpriteStore();
    EXPECT_FALSE(ShipHitFlashSprite);
}

// Whatever colour an enemy shot has, the player's version is ice white: hardly coloured, a trace of
// blue leading, brighter where the original is brighter, and never the colour key.
TEST(SpriteStore, PlayerShotColoursAreTheShipsWhateverTheEnemysWere) {
    const uint32_t enemyColours[] = {Rgb(230, 170, 40),  Rgb(255, 120, 20), Rgb(60, 200, 60),
                                     Rgb(220, 30, 60),   Rgb(150, 60, 220), Rgb(70, 120, 230),
                                     Rgb(250, 250, 250), Rgb(40, 10, 10)};
    for (uint32_t enemy : enemyColours) {
        SCOPED_TRACE(enemy);
        const uint32_t mine = PlayerShotColour(enemy);
        const uint32_t r = mine >> 16, g = (mine >> 8) & 0xFF, b = mine & 0xFF;
        EXPECT_GE(b, g);
        EXPECT_GE(g, r);
        EXPECT_LE(b - r, 40u) << "nearly colourless";
        EXPECT_NE(mine, ColourMagenta);
        EXPECT_NE(HitFlashColour(enemy), ColourMagenta);
    }
    uint32_t previousBlueAndGreen = 0;
    for (uint32_t grey = 0; grey <= 255; grey += 15) {
        const uint32_t mine = PlayerShotColour(Rgb(grey, grey, grey));
        const uint32_t blueAndGreen = (mine & 0xFF) + ((mine >> 8) & 0xFF);
        EXPECT_GE(blueAndGreen, previousBlueAndGreen) << grey;
        previousBlueAndGreen = blueAndGreen;
    }
}

TEST(SpriteStore, MatchingAColourLeavesPixelZeroAsItWas) {
    auto surface = Surface::Create(2, 2);
    surface->SetPixel(0, 0, Rgb(12, 34, 56));
    EXPECT_EQ(MatchSurfaceColour(*surface, ColourMagenta), surface->MapRgb(ColourMagenta));
    EXPECT_EQ(surface->Pixel(0, 0), Rgb(12, 34, 56));
}

TEST(Surface, PlainBlitsStayInsideBothSurfaces) {
    auto small = Surface::Create(10, 10);
    small->Fill(Rgb(1, 2, 3));
    auto back = MarkedBackBuffer();
    // Sources larger than the sprite and targets past the edges are cut, never read or written outside.
    EXPECT_EQ(back->BlitFrom(*small, TRect{-5, -5, 50, 50}, 790, 590, false), BlitOk);
    EXPECT_EQ(back->Pixel(799, 599), Rgb(1, 2, 3));
    EXPECT_EQ(back->BlitFrom(*small, TRect{0, 0, 10, 10}, 800, 0, false), BlitFailed);
    EXPECT_EQ(small->BlitWhole(*back, -400, -300, true), BlitOk);
}

// A screen that opens with the same picture every frame copies back only what was drawn over it. Any
// mix of drawing, fills and changes to the picture must leave what copying the whole picture leaves.
TEST(Surface, CopyingAPictureAgainGivesWhatAWholeCopyGives) {
    constexpr int Width = 64;
    constexpr int Height = 48;
    auto picture = ColumnSprite(Width, Height);
    auto otherPicture = ColumnSprite(Width, Height);
    otherPicture->FillRect(TRect{10, 10, 30, 30}, Rgb(0, 90, 0));
    auto keyedSprite = ColumnSprite(12, 9);
    keyedSprite->SetPixel(4, 4, ColourMagenta);
    keyedSprite->IndexSolidRuns();
    auto restoring = Surface::Create(Width, Height);
    auto reference = Surface::Create(Width, Height);
    uint32_t seed = 12345;
    auto next = [&seed](int below) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(below));
    };
    for (int step = 0; step < 2000; ++step) {
        const int x = next(Width + 20) - 10;
        const int y = next(Height + 20) - 10;
        const uint32_t colour = Rgb(next(256), next(256), 7);
        const int operation = next(9);
        auto onBoth = [&](auto draw) {
            draw(*restoring);
            draw(*reference);
        };
        switch (operation) {
        case 0:
        case 1: {
            const Surface& whole = operation == 0 ? *picture : *otherPicture;
            (void)reference->Row(0); // the reference forgets what it held: a whole copy every time
            onBoth([&](Surface& target) { target.BlitWhole(whole, 0, 0, false); });
            break;
        }
        case 2:
            onBoth([&](Surface& target) { DrawSprite(keyedSprite, target, TRect{0, 0, 12, 9}, x, y); });
            break;
        case 3:
            onBoth([&](Surface& target) { target.FillRect(TRect{x, y, x + 7, y + 5}, colour); });
            break;
        case 4:
            onBoth([&](Surface& target) { target.Fill(colour); });
            break;
        case 5:
            if (y >= 0 && y < Height && x >= 0 && x + 3 <= Width)
                onBoth([&](Surface& target) { std::fill_n(target.RowToDrawOn(y, x, x + 3) + x, 3, colour); });
            break;
        case 6:
            if (y >= 0 && y < Height && x >= 0 && x < Width)
                onBoth([&](Surface& target) { target.SetPixel(x, y, colour); });
            break;
        case 7: // the picture itself changes
            if (y >= 0 && y < Height && x >= 0 && x < Width) picture->SetPixel(x, y, colour);
            break;
        default:
            if (next(8) == 0) picture->Fill(colour);
            break;
        }
        if (next(5) != 0) continue; // reading settles waiting fills: let some run on between reads
        for (int py = 0; py < Height; ++py)
            for (int px = 0; px < Width; ++px)
                ASSERT_EQ(restoring->Pixel(px, py), reference->Pixel(px, py))
                    << "step " << step << " (operation " << operation << ") at " << px << "," << py;
    }
}

TEST(Surface, SurfacesWiderThanSpritesEverAreFilledAndKeptUnindexed) {
    auto wide = Surface::Create(70000, 2);
    ASSERT_NE(wide, nullptr);
    wide->Fill(Rgb(250, 0, 0));
    wide->BlitWhole(*ColumnSprite(10, 2), 69995, 0, true);
    EXPECT_EQ(wide->Pixel(69990, 1), Rgb(250, 0, 0));
    EXPECT_EQ(wide->Pixel(69999, 1), Rgb(4, 1, 200));
    wide->SetColourKey(wide->MapRgb(ColourMagenta));
    wide->IndexSolidRuns(); // 16-bit runs cannot say where this one is solid: it keeps testing pixels
    EXPECT_FALSE(wide->HasSolidRuns());
}

namespace {

// How coloured a picture looks: the mean saturation of its pixels bright enough to be seen.
double MeanSaturation(const Surface& sprite) {
    double sum = 0;
    int counted = 0;
    for (int y = 0; y < sprite.Height(); ++y)
        for (int x = 0; x < sprite.Width(); ++x) {
            const uint32_t p = sprite.Pixel(x, y);
            if (p == ColourMagenta) continue;
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            const int most = std::max({r, g, b}), least = std::min({r, g, b});
            if (most < 60) continue;
            sum += static_cast<double>(most - least) / most;
            ++counted;
        }
    return counted ? sum / counted : 0;
}

// Every enemy shot (upper row of a pair) and every player shot (lower row), on black and on the far
// nebula, written as a PPM.
void WriteShotSheet(const std::string& path) {
    constexpr int Cell = 70, Columns = 15;
    auto sheet = Surface::Create(Cell * Columns, Cell * 4);
    sheet->Fill(0);
    const Surface& nebula = *GameSprites[2];
    for (int x = 0; x < sheet->Width(); x += nebula.Width())
        sheet->BlitFrom(nebula, TRect{0, 0, nebula.Width(), 2 * Cell}, x, 2 * Cell, false);
    for (const int top : {0, 2 * Cell})
        for (int column = 0; column < Columns; ++column) {
            const Surface& enemy = *GameSprites[FirstShotRecord + column];
            sheet->BlitFrom(
                enemy, TRect{0, 0, std::min(enemy.Width(), Cell - 4), std::min(enemy.Height(), Cell - 4)},
                column * Cell + 2, top + 2, true);
            if (column >= PlayerShotSpriteCount) continue;
            const Surface& mine = *PlayerShotSprites[column];
            sheet->BlitFrom(mine,
                            TRect{0, std::max(0, mine.Height() - (Cell - 4)),
                                  std::min(mine.Width(), Cell - 4), mine.Height()},
                            column * Cell + 2, top + Cell + 2, true);
        }
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << sheet->Width() << " " << sheet->Height() << "\n255\n";
    for (int y = 0; y < sheet->Height(); ++y)
        for (int x = 0; x < sheet->Width(); ++x) {
            const uint32_t p = sheet->Pixel(x, y);
            out.put(static_cast<char>(p >> 16)).put(static_cast<char>(p >> 8)).put(static_cast<char>(p));
        }
}

} // namespace

// Every hue is some enemy shot's; the player's shots are the nearly colourless ones, every enemy shot
// a strongly coloured one. VANTORIX_SHOTS=<folder> also writes the sheet to look at.
TEST(SpriteStore, EveryPlayerShotIsToldApartFromEveryEnemyShot) {
    ASSERT_NO_THROW(LoadSpriteStore());
    // Kinds 5 and 6 are the player's own missile and Mega-skull: no enemy fires them.
    for (int kind = 0; kind < 15; ++kind) {
        if (kind == 5 || kind == 6) continue;
        EXPECT_GE(MeanSaturation(*GameSprites[FirstShotRecord + kind]), 0.3) << "enemy kind " << kind;
    }
    for (int j = 0; j < PlayerShotSpriteCount; ++j)
        EXPECT_LE(MeanSaturation(*PlayerShotSprites[j]), 0.15) << "player kind " << j;
    if (const char* folder = std::getenv("VANTORIX_SHOTS"))
        WriteShotSheet(std::string(folder) + "/shots.ppm");
    FreeSpriteStore();
}
