// The player's controls on the real shell: remapped keys fly the ship and pause the game by their place
// on the keyboard, Controls.cfg is read at start-up, and the controls screen changes and keeps them.
#include "Harness.h"
#include "ShellPilot.h"

#include "Game/TGame.h"
#include "Game/TMyShip.h"
#include "core/ControlBindings.h"
#include "core/ScreenState.h"
#include "main/ControlsText.h"
#include "main/Notice.h"
#include "persistence/ControlsFile.h"
#include "platform/Gamepad.h"
#include "platform/Input.h"
#include "platform/PlatformState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr uint8_t ScanQ = 0x10, ScanW = 0x11, ScanA = 0x1E, ScanS = 0x1F, ScanD = 0x20, ScanJ = 0x24;

void StartPlaying(Harness& h) {
    h.Form().StartGame();
    for (int i = 0; i < 1000 && CurrentGame->Phase != GamePhase::Play; ++i)
        h.Step();
    ASSERT_EQ(CurrentGame->Phase, GamePhase::Play);
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// W A S D fly, J fires, Q pauses: the arrows, Ctrl and P are free again.
ControlBindings LeftHanded() {
    ControlBindings controls = DefaultControlBindings();
    const std::pair<GameControl, uint8_t> keys[] = {{GameControl::Up, ScanW},   {GameControl::Left, ScanA},
                                                    {GameControl::Down, ScanS}, {GameControl::Right, ScanD},
                                                    {GameControl::Fire, ScanJ}, {GameControl::Pause, ScanQ}};
    for (const auto& [control, key] : keys)
        EXPECT_TRUE(PlaceKey(controls, control, 0, key));
    EXPECT_TRUE(ClearKey(controls, GameControl::Fire, 1));
    return controls;
}

} // namespace

TEST(Controls, RemappedKeysFlyTheShipAndPauseTheGameByTheirPlace) {
    Harness h;
    PlayerControls = LeftHanded();
    StartPlaying(h);
    TMyShip& ship = *CurrentGame->Ship;

    const int16_t x = ship.X;
    SetTestKeyHeld(ScanA, true);
    h.Step();
    SetTestKeyHeld(ScanA, false);
    EXPECT_EQ(ship.X, x - 6) << "A flies left";
    SetTestKeyHeld(ScanLeft, true);
    h.Step();
    SetTestKeyHeld(ScanLeft, false);
    EXPECT_EQ(ship.X, x - 6) << "the left arrow does nothing now";

    h.PressKey(SDLK_p);
    EXPECT_EQ(ScreenState, ScreenGame) << "P no longer pauses";
    // On a French keyboard the key at Q's place says "A": it is still the pause key.
    h.PressKeyAt(SDL_SCANCODE_Q, SDLK_a);
    ASSERT_EQ(ScreenState, ScreenPause);
    h.PressKey(SDLK_p);
    EXPECT_EQ(ScreenState, ScreenPause) << "nor resumes";
    h.PressKeyAt(SDL_SCANCODE_Q, SDLK_a);
    ASSERT_EQ(ScreenState, ScreenGame);
    h.PressKey(SDLK_ESCAPE);
    EXPECT_EQ(ScreenState, ScreenQuitQuestion) << "Escape always asks";
}

TEST(Controls, ControlsCfgIsReadAtStartAndADamagedOneGivesTheDefaultsWithANotice) {
    {
        Harness h("", 12345, EncodeControlBindings(LeftHanded()));
        EXPECT_EQ(PlayerControls, LeftHanded());
        EXPECT_EQ(CurrentNotice(), "");
    }
    const std::string damaged = "left 203 0 none none\nfire 1 0 a none\n";
    Harness h("", 12345, damaged);
    EXPECT_EQ(PlayerControls, DefaultControlBindings());
    EXPECT_EQ(CurrentNotice(), "Controls.cfg is damaged; the default controls are in force.");
    EXPECT_EQ(FileText(h.Folder() / "Controls.cfg"), damaged) << "left for the next save";
}

// The words for the controls in force: the keys by what the layout prints, the pad's buttons by what
// its kind of pad prints on them.
TEST(Controls, KeysAndPadButtonsAreNamedAsThePlayerSeesThem) {
    Harness h; // the keyboard's layout comes with the display
    ControlBindings controls = LeftHanded();
    PlacePadButton(controls, GameControl::Fire, 1, PadButton::X);
    EXPECT_FALSE(ControlsAsAtFirstStart(controls));
    EXPECT_TRUE(ControlsAsAtFirstStart(DefaultControlBindings()));
    EXPECT_EQ(QuotedKeys(controls[GameControl::Left]), "\"A\"");
    EXPECT_EQ(QuotedKeys(DefaultControlBindings()[GameControl::Fire]), "\"Left Ctrl\"/\"Right Ctrl\"");
    EXPECT_EQ(QuotedKeys(controls[GameControl::QuitQuestion]), "\"Escape\"");

    struct Case {
        int sdlType;
        std::string fire; // A and X
        std::string back;
    };
    const Case cases[] = {
        {SDL_CONTROLLER_TYPE_XBOXONE, "\"A\"/\"X\"", "\"B\""},
        {SDL_CONTROLLER_TYPE_PS4, "\"Cross\"/\"Square\"", "\"Circle\""},
        {SDL_CONTROLLER_TYPE_PS5, "\"Cross\"/\"Square\"", "\"Circle\""},
        {SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO, "\"A\"/\"X\"", "\"B\""},
        {SDL_CONTROLLER_TYPE_UNKNOWN, "\"A\"/\"X\"", "\"B\""},
    };
    for (const Case& c : cases) {
        const PadLabels labels = PadLabelsOfType(c.sdlType);
        EXPECT_EQ(QuotedPadButtons(controls[GameControl::Fire], labels), c.fire) << c.sdlType;
        EXPECT_NE(FirstStartControlsPageLines(labels).back().find(c.back + " goes back"), std::string::npos)
            << c.sdlType;
    }
    EXPECT_EQ(PadButtonName(PadButton::Back, PadLabels::Nintendo), "-");
    EXPECT_EQ(PadButtonName(PadButton::RightTrigger, PadLabels::PlayStation), "R2");
}
