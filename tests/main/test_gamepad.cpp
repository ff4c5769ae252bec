// Gamepads on the real shell: a virtual pad, driven through the library's joystick layer, plugged in
// and out while the game runs, flying the ship and working every screen a game passes through.
#include "Harness.h"

#include "DXCtrl/TDDBtnCollection.h"
#include "DXCtrl/TDDEdit.h"
#include "DXCtrl/TDDTextBtnCollection.h"
#include "Game/TGame.h"
#include "Game/TMyShip.h"
#include "core/ScreenState.h"
#include "main/ControlsScreen.h"
#include "main/MainState.h"
#include "main/MenuWidgets.h"
#include "persistence/HiScores.h"
#include "persistence/Options.h"
#include "platform/Gamepad.h"
#include "platform/Input.h"
#include "platform/PlatformState.h"

#include <gtest/gtest.h>

#include <functional>
#include <span>

namespace {

class GamepadTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(h.StepUntilScreen(ScreenMainMenu, 200));
        ASSERT_TRUE(AttachVirtualGamepad());
        h.Step(); // the plug-in event opens the pad
        ASSERT_EQ(OpenGamepadCount(), 1);
    }
    void TearDown() override { DetachVirtualGamepad(); }

    void Press(PadButton button) {
        SetVirtualPadButton(button, true);
        h.Step();
        SetVirtualPadButton(button, false);
        h.Step();
    }

    Harness h;
};

TEST_F(GamepadTest, PlaysAGameFromTheMainMenuToTheNameEntry) {
    for (int i = 0; i < 8 && MainMenu->ItemIndex != ItemNewGame; ++i)
        Press(PadButton::Up);
    Press(PadButton::A);
    ASSERT_EQ(ScreenState, ScreenGame);
    for (int i = 0; i < 1000 && CurrentGame->Phase != GamePhase::Play; ++i)
        h.Step();
    ASSERT_EQ(CurrentGame->Phase, GamePhase::Play);

    const int16_t x = CurrentGame->Ship->X;
    SetVirtualPadLeftStick(-20000, 0);
    h.Step();
    EXPECT_EQ(CurrentGame->Ship->X, x - 6) << "the stick moves the ship as far as an arrow key";
    SetVirtualPadLeftStick(0, 0);

    Press(PadButton::Start);
    EXPECT_EQ(ScreenState, ScreenPause);
    Press(PadButton::Start);
    EXPECT_EQ(ScreenState, ScreenGame);
    Press(PadButton::Back);
    ASSERT_EQ(ScreenState, ScreenQuitQuestion);
    Press(PadButton::B);
    EXPECT_EQ(ScreenState, ScreenGame) << "B on the quit question goes back to the game";

    CurrentGame->Score = 5000;
    Press(PadButton::Back);
    Press(PadButton::Left); // Yes
    Press(PadButton::A);
    ASSERT_EQ(CurrentGame->Phase, GamePhase::GameOver);
    ASSERT_TRUE(h.StepUntilScreen(ScreenNameEntry, 1000));

    // A, then a second A stepped up to C, then a third letter stepped down from A past Z to E... and back.
    for (PadButton button : {PadButton::Up, PadButton::Right, PadButton::Up, PadButton::Up, PadButton::Right,
                             PadButton::Down, PadButton::Right, PadButton::Left})
        Press(button);
    for (int i = 0; i < 4; ++i)
        Press(PadButton::Up);
    EXPECT_EQ(HiScoreNameEdit->Text, "Acd") << "Z stepped up four times is D";
    Press(PadButton::X);
    Press(PadButton::Right);
    for (int i = 0; i < 4; ++i)
        Press(PadButton::Up);
    EXPECT_EQ(HiScoreNameEdit->Text, "Ace");

    Press(PadButton::LeftShoulder); // Ok
    Press(PadButton::A);
    EXPECT_EQ(ScreenState, ScreenSendQuestion);
    EXPECT_EQ(HiScoreTable[0].Name, "Ace");
    EXPECT_EQ(HiScoreTable[0].Score, 5000);
    Press(PadButton::B);
    EXPECT_EQ(ScreenState, ScreenMainMenu);
}

TEST_F(GamepadTest, HeldButtonsDriveTheControlsTheyAreGiven) {
    struct Case {
        const char* what;
        std::function<void(bool)> hold;
        uint8_t controls; // the frame's controls while held
    };
    auto button = [](PadButton b) { return [b](bool on) { SetVirtualPadButton(b, on); }; };
    auto stick = [](int16_t x, int16_t y) {
        return [=](bool on) { SetVirtualPadLeftStick(on ? x : 0, on ? y : 0); };
    };
    const Case defaults[] = {
        {"d-pad left", button(PadButton::Left), ControlLeft},
        {"d-pad down", button(PadButton::Down), ControlDown},
        {"stick right", stick(9000, 0), ControlRight},
        {"stick up", stick(0, -32768), ControlUp},
        {"stick in the dead zone", stick(7000, -7000), 0},
        {"A", button(PadButton::A), ControlFire},
        {"right trigger", [](bool on) { SetVirtualPadRightTrigger(on ? 20000 : 0); }, ControlFire},
        {"B", button(PadButton::B), ControlSpecial},
        {"X", button(PadButton::X), ControlSpecial},
        {"Y", button(PadButton::Y), 0},
        {"left trigger", button(PadButton::LeftTrigger), 0},
    };
    // Y fires instead of A, the left trigger is the special weapon, and the dead zone is wider.
    ControlBindings remapped = DefaultControlBindings();
    PlacePadButton(remapped, GameControl::Fire, 0, PadButton::Y);
    PlacePadButton(remapped, GameControl::Special, 1, PadButton::LeftTrigger);
    remapped.PadDeadZone = 20000;
    const Case remappedCases[] = {
        {"Y given to fire", button(PadButton::Y), ControlFire},
        {"A, now free", button(PadButton::A), 0},
        {"left trigger given to the special", button(PadButton::LeftTrigger), ControlSpecial},
        {"X, taken from the special", button(PadButton::X), 0},
        {"stick inside the wider dead zone", stick(19000, 0), 0},
        {"stick past it", stick(21000, 0), ControlRight},
    };
    auto check = [&](std::span<const Case> cases) {
        for (const Case& c : cases) {
            c.hold(true);
            h.Step();
            EXPECT_EQ(ReadGameControls(), c.controls) << c.what;
            EXPECT_EQ(KeyState, decltype(KeyState){}) << c.what << ": pads are not keys";
            c.hold(false);
            h.Step();
        }
    };
    ScreenState = ScreenHelpAbout; // a screen where no press changes anything that matters here
    check(defaults);
    PlayerControls = remapped;
    check(remappedCases);
}

TEST_F(GamepadTest, PadsComeAndGoWhileTheGameRuns) {
    SetVirtualPadButton(PadButton::Left, true);
    h.Step();
    EXPECT_EQ(ReadGameControls(), ControlLeft);
    DetachVirtualGamepad();
    h.Step();
    EXPECT_EQ(OpenGamepadCount(), 0);
    EXPECT_EQ(ReadGameControls(), 0) << "a pad pulled out holds nothing";

    ASSERT_TRUE(AttachVirtualGamepad());
    h.Step();
    EXPECT_EQ(OpenGamepadCount(), 1);
    const int8_t item = MainMenu->ItemIndex;
    Press(PadButton::Down);
    EXPECT_NE(MainMenu->ItemIndex, item) << "a pad plugged in again works the menus";
}

TEST_F(GamepadTest, TheStickStepsAMenuOncePerPush) {
    const int8_t first = MainMenu->ItemIndex;
    SetVirtualPadLeftStick(0, 30000);
    h.Step(5);
    const int8_t second = MainMenu->ItemIndex;
    EXPECT_NE(second, first);
    SetVirtualPadLeftStick(0, 12000); // eased off, still outside the dead zone: no new push
    h.Step();
    SetVirtualPadLeftStick(0, 30000);
    h.Step();
    EXPECT_EQ(MainMenu->ItemIndex, second);
    SetVirtualPadLeftStick(0, 0);
    h.Step();
    SetVirtualPadLeftStick(0, 30000);
    h.Step();
    EXPECT_NE(MainMenu->ItemIndex, second) << "a new push after the stick came back";
}

TEST_F(GamepadTest, BLeavesTheMinimizeKeyCaptureUnchanged) {
    ScreenState = ScreenKeyCapture;
    const int32_t key = Options.MinimizeKey;
    Press(PadButton::A);
    EXPECT_EQ(ScreenState, ScreenKeyCapture);
    Press(PadButton::B);
    EXPECT_EQ(ScreenState, ScreenOptions);
    EXPECT_EQ(Options.MinimizeKey, key);
}

} // namespace

namespace {

// The pad alone, from the main menu: options, the controls' row, a pad box given a button by pressing
// it (a trigger pulled too), one cleared with X, a button in use swapped after the question, and back.
TEST_F(GamepadTest, ThePadAloneChangesItsButtons) {
    for (int i = 0; i < 8 && MainMenu->ItemIndex != ItemOptions; ++i)
        Press(PadButton::Down);
    Press(PadButton::A);
    ASSERT_EQ(ScreenState, ScreenOptions);
    Press(PadButton::Up); // from Back to the controls' row
    Press(PadButton::A);
    ASSERT_EQ(ScreenState, ScreenControls);

    for (int i = 0; i < static_cast<int>(GameControl::Fire); ++i)
        Press(PadButton::Down);
    for (int i = 0; i < 3; ++i)
        Press(PadButton::Right);
    Press(PadButton::A); // Fire's second pad box (RT)
    ASSERT_EQ(ControlsScreenCursor.Waiting, ControlsWait::PadButton);
    Press(PadButton::Y);
    EXPECT_EQ(PlayerControls[GameControl::Fire].PadButtons[1], PadButton::Y);
    Press(PadButton::X);
    EXPECT_EQ(PlayerControls[GameControl::Fire].PadButtons[1], std::nullopt) << "X clears the box";
    Press(PadButton::A);
    SetVirtualPadButton(PadButton::LeftTrigger, true);
    h.Step();
    SetVirtualPadButton(PadButton::LeftTrigger, false);
    h.Step();
    EXPECT_EQ(PlayerControls[GameControl::Fire].PadButtons[1], PadButton::LeftTrigger) << "a pulled trigger";

    Press(PadButton::A);
    Press(PadButton::B); // the special weapon's
    ASSERT_EQ(ControlsScreenCursor.Waiting, ControlsWait::SwapAnswer);
    Press(PadButton::LeftShoulder); // Yes
    Press(PadButton::A);
    EXPECT_EQ(PlayerControls[GameControl::Fire].PadButtons[1], PadButton::B);
    EXPECT_EQ(PlayerControls[GameControl::Special].PadButtons[0], PadButton::LeftTrigger);
    EXPECT_TRUE(FollowsTheRules(PlayerControls));

    Press(PadButton::B);
    EXPECT_EQ(ScreenState, ScreenOptions);
    ScreenState = ScreenHelpAbout;
    SetVirtualPadButton(PadButton::B, true);
    h.Step();
    EXPECT_EQ(ReadGameControls(), ControlFire) << "B fires now";
    SetVirtualPadButton(PadButton::B, false);
}

// Back and B go back, ask, or resume, and never close the program: on the main menu they ask the exit
// question.
TEST_F(GamepadTest, BackAndBNeverQuitWithoutTheExitQuestion) {
    const Screen screens[] = {ScreenMainMenu,     ScreenOptions,      ScreenHiScores,      ScreenHelpOverview,
                              ScreenHelpControls, ScreenExitQuestion, ScreenClearQuestion, ScreenKeyCapture,
                              ScreenControls,     ScreenGame,         ScreenPause,         ScreenQuitQuestion,
                              ScreenNameEntry,    ScreenSendQuestion, ScreenRetryQuestion};
    h.Form().StartGame();
    for (int i = 0; i < 1000 && CurrentGame->Phase != GamePhase::Play; ++i)
        h.Step();
    for (const PadButton button : {PadButton::Back, PadButton::B}) {
        for (const Screen screen : screens) {
            ScreenState = screen;
            h.Step();
            Press(button);
            EXPECT_FALSE(h.Form().Closed()) << static_cast<int>(screen);
            if (screen == ScreenMainMenu) {
                EXPECT_EQ(ScreenState, ScreenExitQuestion);
            }
        }
    }
}

} // namespace
