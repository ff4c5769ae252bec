#include "Harness.h"

#include "Game/TGame.h"
#include "core/ScreenState.h"
#include "graphics/SpriteStore.h"
#include "persistence/Options.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

TEST(Shell, StartsOnTheIntroWithAWindowAndBothBuffers) {
    Harness h;
    ASSERT_TRUE(h.Started());
    EXPECT_EQ(ScreenState, ScreenIntro);
    EXPECT_EQ(h.Form().BackBuffer->Width(), 800);
    EXPECT_EQ(h.Form().SavedScreen->Height(), 600);
    EXPECT_TRUE(h.Form().AppActive);
}

TEST(Shell, TheFrameGateDrawsOnlyAfterMoreThanFiveMilliseconds) {
    Harness h;
    h.Step(1, 6);
    const uint32_t presented = h.Form().LastFrameTick;
    h.Step(1, 5);
    EXPECT_EQ(h.Form().LastFrameTick, presented) << "5 ms: no frame";
    h.Step(1, 1);
    EXPECT_EQ(h.Form().LastFrameTick, presented + 6) << "6 ms: a frame";
}

TEST(Shell, CloseRequestsFollowTheScreen) {
    struct Case {
        int32_t screen;
        int32_t after;
    };
    const Case cases[] = {
        {ScreenIntro, ScreenIntro},
        {ScreenGame, ScreenGame},
        {ScreenPause, ScreenPause},
        {ScreenNameEntry, ScreenNameEntry},
        {ScreenSendQuestion, ScreenSendQuestion},
        {ScreenMainMenu, ScreenExitQuestion},
        {ScreenOptions, ScreenExitQuestion},
        {ScreenHiScores, ScreenExitQuestion},
        {ScreenHelpAbout, ScreenExitQuestion},
        {ScreenQuitQuestion, ScreenExitQuestion},
    };
    Harness h;
    for (const Case& c : cases) {
        ScreenState = c.screen;
        h.Form().CloseRequest();
        EXPECT_EQ(ScreenState, c.after) << "screen " << c.screen;
        EXPECT_FALSE(h.Form().Closed()) << "screen " << c.screen;
    }
    ExitConfirmed = true;
    ScreenState = ScreenExitQuestion;
    h.Form().CloseRequest();
    EXPECT_TRUE(h.Form().Closed());
}

TEST(Shell, LostSurfacesAreRecoveredAsTheDisplayAllows) {
    Harness h;
    // A scribbled sprite pixel shows whether the store was read again.
    const uint32_t original = GameSprites[2]->Pixel(5, 5);
    auto scribble = [&] { GameSprites[2]->SetPixel(5, 5, original ^ 0x123456); };
    auto reloaded = [&] { return GameSprites[2]->Pixel(5, 5) == original; };

    scribble();
    h.Form().display.SimulateSurfaceLoss(1, true); // the primary restores and the clear works again
    h.Step();
    EXPECT_TRUE(reloaded()) << "every sprite reloaded";

    scribble();
    h.Form().display.SimulateSurfaceLoss(2, true); // the second clear fails too
    h.Form().LastFrameTick = GetTickCount() - 10;
    EXPECT_EQ(h.Form().RenderFrame(), 1);
    EXPECT_FALSE(reloaded()) << "nothing reloaded";

    h.Form().display.SimulateSurfaceLoss(1, false); // the primary cannot be restored: reload anyway
    h.Form().LastFrameTick = GetTickCount() - 10;
    EXPECT_EQ(h.Form().RenderFrame(), 0);
    EXPECT_TRUE(reloaded());
}

TEST(Shell, AltEnterSwitchesTheWindowModeAndEveryAltKeyStalls) {
    Harness h;
    const uint32_t start = GetTickCount();
    h.PressKey(SDLK_RETURN, KMOD_LALT);
    EXPECT_FALSE(Options.Windowed);
    EXPECT_EQ(GetTickCount() - start, 300u);
    h.PressKey(SDLK_x, KMOD_LALT);
    EXPECT_FALSE(Options.Windowed);
    EXPECT_EQ(GetTickCount() - start, 600u);
    h.PressKey(SDLK_RETURN, KMOD_RALT);
    EXPECT_TRUE(Options.Windowed);
    EXPECT_TRUE(GameSprites[8]) << "sprites reloaded after the switch";
}

TEST(Shell, RestoringDuringAGamePausesWithTheStripedFrozenPicture) {
    Harness h;
    h.Form().StartGame();
    h.Form().BackBuffer->Fill(Rgb(200, 100, 50));
    h.Form().ApplicationDeactivate();
    h.Form().ApplicationRestore();
    EXPECT_EQ(ScreenState, ScreenPause);
    const Surface& stripe = *GameSprites[9];
    const Surface& saved = *h.Form().SavedScreen;
    // Even rows carry the stripe (where it is not keyed); odd rows keep the frozen picture.
    for (int x = 0; x < 800; x += 50) {
        if (stripe.Pixel(x, 0) != Rgb(255, 0, 255)) {
            EXPECT_EQ(saved.Pixel(x, 10), stripe.Pixel(x, 0));
        }
        EXPECT_EQ(saved.Pixel(x, 11), h.Form().BackBuffer->Pixel(x, 11));
    }
    h.PressKey(SDLK_p);
    EXPECT_EQ(ScreenState, ScreenGame);
}

TEST(Shell, RestoringOutsideAGameReturnsToTheSameScreen) {
    Harness h;
    ScreenState = ScreenOptions;
    h.Form().ApplicationDeactivate();
    h.Form().ApplicationRestore();
    EXPECT_EQ(ScreenState, ScreenOptions);
}

TEST(Shell, FullScreenDeactivationSkipsOnlyTheFirstMinimise) {
    Harness h;
    h.Form().SwitchWindowed(false);
    SkipMinimize = true;
    h.Form().ApplicationDeactivate();
    EXPECT_FALSE(SkipMinimize) << "first deactivation after start-up does not minimise";
    h.Form().ApplicationDeactivate();
    EXPECT_FALSE(SkipMinimize);
    h.Form().SwitchWindowed(true);
    h.Form().ApplicationDeactivate();
    EXPECT_TRUE(SkipMinimize) << "a windowed deactivation arms the skip again";
}
