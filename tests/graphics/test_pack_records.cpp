// The generated pack has every record the game names where the game looks for it: each named record
// has the size the game draws it at, so a group drawn out of order or a record moved is caught here.
#include "graphics/PackRecords.h"
#include "graphics/SpriteStore.h"

#include <gtest/gtest.h>

namespace {

struct NamedRecord {
    bool interface;
    int record;
    int width;
    int height;
    const char* name;
};

constexpr NamedRecord NamedRecords[] = {
    {false, GameRecord::ArmourBar, 10, 124, "armour bar"},
    {false, GameRecord::EnergyBar, 10, 124, "energy bar"},
    {false, GameRecord::FarStarfield, 512, 486, "far starfield"},
    {false, GameRecord::FirstNearTile, 300, 200, "first near tile"},
    {false, GameRecord::FirstNearTile + 4, 300, 200, "last near tile"},
    {false, GameRecord::ShipSheet, 650, 100, "ship sheet"},
    {false, GameRecord::PauseStripe, 800, 1, "pause stripe"},
    {false, GameRecord::FirstShot, 52, 28, "first enemy shot"},
    {true, InterfaceRecord::MenuBackground, 800, 600, "menu background"},
    {true, InterfaceRecord::FirstMainMenuHighlight, 316, 38, "first main menu highlight"},
    {true, InterfaceRecord::FirstMainMenuHighlight + 5, 316, 40, "last main menu highlight"},
    {true, InterfaceRecord::StageMarker, 24, 16, "stage marker"},
    {true, InterfaceRecord::TextFieldFrame, 364, 33, "text field frame"},
    {true, InterfaceRecord::ActiveTextFieldFrame, 372, 41, "active text field frame"},
    {true, InterfaceRecord::BossKeyFace, 178, 31, "boss key face"},
    {true, InterfaceRecord::BossKeyHighlight, 186, 36, "boss key highlight"},
    {true, InterfaceRecord::HiScoreRowStrip, 500, 34, "high-score row strip"},
    {true, InterfaceRecord::ClearTableFace, 175, 60, "clear table face"},
    {true, InterfaceRecord::ClearTableHighlight, 187, 75, "clear table highlight"},
    {true, InterfaceRecord::OnlineTableFace, 175, 60, "online table face"},
    {true, InterfaceRecord::OnlineTableHighlight, 185, 76, "online table highlight"},
    {true, InterfaceRecord::NextFace, 104, 37, "next face"},
    {true, InterfaceRecord::PreviousFace, 104, 37, "previous face"},
    {true, InterfaceRecord::BackFace, 102, 37, "back face"},
    {true, InterfaceRecord::NextHighlight, 116, 51, "next highlight"},
    {true, InterfaceRecord::PreviousHighlight, 116, 51, "previous highlight"},
    {true, InterfaceRecord::BackHighlight, 116, 51, "back highlight"},
    {true, InterfaceRecord::DisplayFace, 132, 26, "display face"},
    {true, InterfaceRecord::DisplayHighlight, 142, 30, "display highlight"},
    {true, InterfaceRecord::OnOffFace, 58, 25, "on/off face"},
    {true, InterfaceRecord::OnOffHighlight, 68, 30, "on/off highlight"},
    {true, InterfaceRecord::QuestionPanel, 420, 200, "question panel"},
    {true, InterfaceRecord::LivesPlate, 96, 26, "lives plate"},
    {true, InterfaceRecord::TopBar, 800, 34, "top bar"},
    {true, InterfaceRecord::SidePanel, 148, 563, "side panel"},
    {true, InterfaceRecord::Logo, 250, 138, "logo"},
    {true, InterfaceRecord::HeaderFrame, 412, 80, "header frame"},
    {true, InterfaceRecord::MainMenuPanel, 335, 260, "main menu panel"},
    {true, InterfaceRecord::SkullIcon, 56, 50, "skull icon"},
    {true, InterfaceRecord::BombIcon, 56, 50, "bomb icon"},
    {true, InterfaceRecord::AboutPicture, 120, 120, "about picture"},
};

TEST(PackRecords, EveryNamedRecordIsWhereTheGameLooksForIt) {
    ASSERT_NO_THROW(LoadSpriteStore());
    for (const NamedRecord& named : NamedRecords) {
        const Surface* sprite =
            named.interface ? InterfaceSprites[named.record].get() : GameSprites[named.record].get();
        ASSERT_NE(sprite, nullptr) << named.name;
        EXPECT_EQ(sprite->Width(), named.width) << named.name << " (record " << named.record << ")";
        EXPECT_EQ(sprite->Height(), named.height) << named.name << " (record " << named.record << ")";
    }
    FreeSpriteStore();
}

// Faces and their highlights share sizes with their neighbours, so they are told apart by their pixels.
TEST(PackRecords, PagesFacesAndHighlightsAreDifferentPictures) {
    ASSERT_NO_THROW(LoadSpriteStore());
    const auto differ = [](int a, int b) {
        const Surface& one = *InterfaceSprites[a];
        const Surface& other = *InterfaceSprites[b];
        for (int y = 0; y < one.Height(); ++y)
            for (int x = 0; x < one.Width(); ++x)
                if (one.Pixel(x, y) != other.Pixel(x, y)) return true;
        return false;
    };
    EXPECT_TRUE(differ(InterfaceRecord::NextFace, InterfaceRecord::PreviousFace));
    EXPECT_TRUE(differ(InterfaceRecord::NextHighlight, InterfaceRecord::PreviousHighlight));
    EXPECT_TRUE(differ(InterfaceRecord::NextHighlight, InterfaceRecord::BackHighlight));
    EXPECT_TRUE(differ(InterfaceRecord::ClearTableFace, InterfaceRecord::OnlineTableFace));
    FreeSpriteStore();
}

} // namespace
