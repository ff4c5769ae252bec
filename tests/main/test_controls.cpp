// The player's controls on the real shell: remapped keys fly the ship and pause the game by their place
// on the keyboard, Controls.cfg is read at start-up, and the controls screen changes and keeps them.
#include "Harness.h"
#include "ReadOnlyFolder.h"
#include "ShellPilot.h"

#include "Game/TGame.h"
#include "Game/TMyShip.h"
#include "core/ControlBindings.h"
#include "core/ScreenState.h"
#include "main/ControlsScreen.h"
#include "main/ControlsText.h"
#include "main/MenuWidgets.h"
#include "main/Notice.h"
#include "persistence/ControlsFile.h"
#include "platform/Gamepad.h"
#include "platform/Input.h"
#include "platform/PlatformState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

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

// What a frame records is the controls, not the keys: the same moves on remapped keys give the same
// frame inputs, so a replay of a remapped game plays the same anywhere.
TEST(Controls, RemappedKeysGiveTheSameFrameControls) {
    Harness h;
    const std::pair<std::vector<uint8_t>, std::vector<uint8_t>> moves[] = {
        {{ScanUp, ScanLeftCtrl}, {ScanW, ScanJ}},
        {{ScanLeft, ScanDown, ScanSpace}, {ScanA, ScanS, ScanSpace}},
        {{ScanRight}, {ScanD}},
    };
    auto controlsWith = [&](const ControlBindings& controls, const std::vector<uint8_t>& keys) {
        PlayerControls = controls;
        for (const uint8_t key : keys)
            SetTestKeyHeld(key, true);
        PollKeyboard();
        const uint8_t read = LiveFrameInput().Controls;
        ClearTestInput();
        return read;
    };
    for (const auto& [firstStart, leftHanded] : moves) {
        const uint8_t expected = controlsWith(DefaultControlBindings(), firstStart);
        EXPECT_NE(expected, 0);
        EXPECT_EQ(controlsWith(LeftHanded(), leftHanded), expected);
    }
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

// ---- The controls screen ----

namespace {

// From the options screen's Back, up to the controls' row and in.
void OpenControls(Harness& h) {
    GoToMainMenu(h);
    ScreenState = ScreenOptions;
    h.Step();
    h.PressKey(SDLK_UP);
    h.PressKey(SDLK_RETURN);
    ASSERT_EQ(ScreenState, ScreenControls);
    h.Step();
}

// Moves the cursor to a control's row and column (keys 0 and 1, pad buttons 2 and 3) with the arrows.
void Choose(Harness& h, GameControl control, int column) {
    for (int i = 0; i < 10; ++i)
        h.PressKey(SDLK_UP);
    for (int i = 0; i < 4; ++i)
        h.PressKey(SDLK_LEFT);
    for (int i = 0; i < static_cast<int>(control); ++i)
        h.PressKey(SDLK_DOWN);
    for (int i = 0; i < column; ++i)
        h.PressKey(SDLK_RIGHT);
    ASSERT_EQ(ControlsScreenCursor.Row, static_cast<int>(control));
    ASSERT_EQ(ControlsScreenCursor.Column, column);
}

std::optional<ControlBindings> SavedControls(const Harness& h) {
    return DecodeControlBindings(FileText(h.Folder() / "Controls.cfg"));
}

} // namespace

TEST(ControlsScreen, AKeyGivenOnTheScreenFliesTheShipAndIsKept) {
    Harness h;
    OpenControls(h);
    Choose(h, GameControl::Left, 1);
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ControlsScreenCursor.Waiting, ControlsWait::Key);
    h.PressKeyAt(SDL_SCANCODE_Q, SDLK_a); // the French "A", at Q's place
    EXPECT_EQ(ControlsScreenCursor.Waiting, ControlsWait::Nothing);
    EXPECT_EQ(PlayerControls[GameControl::Left].Keys, (std::array<uint8_t, 2>{ScanLeft, ScanQ}));
    EXPECT_EQ(SavedControls(h), PlayerControls) << "saved at once";

    h.PressKey(SDLK_ESCAPE);
    EXPECT_EQ(ScreenState, ScreenOptions);
    EXPECT_EQ(OptionsMenu->ItemIndex, ItemControls) << "back on the row it was opened from";
    StartPlaying(h);
    const int16_t x = CurrentGame->Ship->X;
    SetTestKeyHeld(ScanQ, true);
    h.Step();
    SetTestKeyHeld(ScanQ, false);
    EXPECT_EQ(CurrentGame->Ship->X, x - 6);
}

// A key another control holds is offered as a swap (Yes swaps, No leaves both), refused when that
// control would be left without a key, and never ends up on two controls.
TEST(ControlsScreen, AKeyInUseIsOfferedAsASwapNeverDoubled) {
    Harness h;
    OpenControls(h);
    Choose(h, GameControl::Right, 1); // empty
    h.PressKey(SDLK_RETURN);
    h.PressKey(SDLK_SPACE); // the special weapon's only key
    EXPECT_EQ(PlayerControls, DefaultControlBindings());
    EXPECT_NE(ControlsScreenCursor.Refusal.find("only key of Special weapon"), std::string::npos);

    Choose(h, GameControl::Right, 0);
    for (const bool yes : {false, true}) {
        h.PressKey(SDLK_RETURN);
        h.PressKey(SDLK_SPACE);
        ASSERT_EQ(ControlsScreenCursor.Waiting, ControlsWait::SwapAnswer);
        h.Step();
        h.PressKey(yes ? SDLK_y : SDLK_n);
        EXPECT_EQ(ControlsScreenCursor.Waiting, ControlsWait::Nothing);
        EXPECT_EQ(PlayerControls[GameControl::Right].Keys[0], yes ? ScanSpace : ScanRight);
        EXPECT_EQ(PlayerControls[GameControl::Special].Keys[0], yes ? ScanRight : ScanSpace);
        EXPECT_TRUE(FollowsTheRules(PlayerControls));
    }
    EXPECT_EQ(SavedControls(h), PlayerControls);

    // Left Ctrl to Fire's own second box: the two boxes of one control swap without a question.
    Choose(h, GameControl::Fire, 1);
    h.PressKey(SDLK_RETURN);
    h.PressKey(SDLK_LCTRL);
    EXPECT_EQ(PlayerControls[GameControl::Fire].Keys, (std::array<uint8_t, 2>{ScanRightCtrl, ScanLeftCtrl}));
}

// Escape keeps its place and the boss key minimises instead of being taken; Delete clears a box but
// never a control's last key; "Defaults" gives back the first start's table.
TEST(ControlsScreen, EscapeAndTheBossKeyStayAndDefaultsRestore) {
    Harness h;
    OpenControls(h);
    Choose(h, GameControl::QuitQuestion, 0);
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ControlsScreenCursor.Waiting, ControlsWait::Nothing) << "Escape's box cannot be chosen";
    h.PressKey(SDLK_DELETE);
    EXPECT_EQ(PlayerControls, DefaultControlBindings());

    Choose(h, GameControl::Fire, 0);
    h.PressKey(SDLK_RETURN);
    h.PressKey(SDLK_F12); // the boss key
    EXPECT_EQ(ControlsScreenCursor.Waiting, ControlsWait::Key) << "minimised, not taken";
    h.PressKeyAt(SDL_SCANCODE_F13, SDLK_F13); // no place in the key table
    EXPECT_EQ(ControlsScreenCursor.Waiting, ControlsWait::Key);
    EXPECT_NE(ControlsScreenCursor.Refusal, "");
    h.PressKey(SDLK_ESCAPE);
    EXPECT_EQ(ControlsScreenCursor.Waiting, ControlsWait::Nothing);
    EXPECT_EQ(ScreenState, ScreenControls) << "Escape while waiting only keeps the box";
    EXPECT_EQ(PlayerControls, DefaultControlBindings());

    h.PressKey(SDLK_DELETE);
    EXPECT_EQ(PlayerControls[GameControl::Fire].Keys[0], NoKey);
    Choose(h, GameControl::Fire, 1);
    h.PressKey(SDLK_DELETE);
    EXPECT_EQ(PlayerControls[GameControl::Fire].Keys[1], ScanRightCtrl) << "Fire keeps its last key";

    for (int i = 0; i < 4; ++i)
        h.PressKey(SDLK_DOWN); // the dead zone
    h.PressKey(SDLK_RIGHT);
    EXPECT_EQ(PlayerControls.PadDeadZone, DefaultPadDeadZone + DeadZoneStep);
    h.PressKey(SDLK_DOWN);
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN); // "Defaults" asks, on "No"
    ASSERT_EQ(ControlsScreenCursor.Waiting, ControlsWait::DefaultsAnswer);
    h.PressKey(SDLK_RETURN);
    EXPECT_NE(PlayerControls, DefaultControlBindings()) << "No keeps the table";
    h.PressKey(SDLK_RETURN);
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(PlayerControls, DefaultControlBindings());
    EXPECT_EQ(SavedControls(h), DefaultControlBindings());
    EXPECT_EQ(ScreenState, ScreenControls);
}

// The mouse alone: the options row opens the screen, a click on a box waits for its key and a second
// click empties it, the dead zone's halves step it, Back leaves.
TEST(ControlsScreen, TheMouseAloneChangesTheControls) {
    Harness h;
    GoToMainMenu(h);
    ScreenState = ScreenOptions;
    h.Step();
    auto click = [&](int x, int y) {
        h.MoveMouse(x, y);
        h.Step();
        h.Click(x, y);
        h.Step();
    };
    const TRect row = OptionItemRects[ItemControls];
    click((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    ASSERT_EQ(ScreenState, ScreenControls);
    h.Click((row.left + row.right) / 2, (row.top + row.bottom) / 2); // a double click
    h.Step(3);
    EXPECT_EQ(ControlsScreenCursor.Row, 0) << "the pointer that opened the screen chooses nothing on it";
    EXPECT_EQ(ControlsScreenCursor.Waiting, ControlsWait::Nothing);

    click(420, 315); // Fire's second key (Right Ctrl)
    EXPECT_EQ(ControlsScreenCursor.Waiting, ControlsWait::Key);
    click(420, 315);
    EXPECT_EQ(PlayerControls[GameControl::Fire].Keys[1], NoKey);
    click(520, 451); // the dead zone's left half
    EXPECT_EQ(PlayerControls.PadDeadZone, DefaultPadDeadZone - DeadZoneStep);
    click(680, 560); // Back
    EXPECT_EQ(ScreenState, ScreenOptions);
    EXPECT_EQ(SavedControls(h), PlayerControls);
}

// A folder that takes no writes: the change holds for this run and the player is told it was not kept.
TEST(ControlsScreen, AChangeThatCannotBeSavedIsToldAndStillPlays) {
    Harness h;
    OpenControls(h);
    Choose(h, GameControl::Fire, 1);
    h.PressKey(SDLK_RETURN);
    {
        ReadOnlyFolder refuse(h.Folder());
        h.PressKey(SDLK_j);
    }
    EXPECT_EQ(PlayerControls[GameControl::Fire].Keys[1], ScanJ);
    EXPECT_EQ(CurrentNotice(), ControlsNotSavedNotice);
    EXPECT_FALSE(std::filesystem::exists(h.Folder() / "Controls.cfg"));
}
