#include "Harness.h"
#include "ReadOnlyFolder.h"

#include "Game/TEnemyEngine.h"
#include "Game/TGame.h"
#include "Game/TMyShip.h"
#include "audio/Audio.h"
#include "audio/AudioState.h"
#include "core/ScreenState.h"
#include "graphics/PackRecords.h"
#include "graphics/SpriteStore.h"
#include "graphics/Text.h"
#include "main/CommandLine.h"
#include "main/MenuWidgets.h"
#include "main/Notice.h"
#include "main/Screens.h"
#include "main/StartFolders.h"
#include "persistence/HiScores.h"
#include "persistence/Options.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Input.h"
#include "platform/PlatformState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

TEST(Shell, StartsOnTheIntroWithAWindowAndBothBuffers) {
    Harness h;
    ASSERT_TRUE(h.Started());
    EXPECT_EQ(ScreenState, ScreenIntro);
    EXPECT_EQ(h.Form().BackBuffer->Width(), 800);
    EXPECT_EQ(h.Form().SavedScreen->Height(), 600);
    EXPECT_TRUE(h.Form().AppActive);
}

// However the passes of the loop fall, a frame runs for every 6 ms of real time, and a pass with no
// frame due draws nothing.
TEST(Shell, FramesKeepToSixMillisecondsOfRealTimeWhateverThePasses) {
    Harness h;
    h.Form().StartGame();
    const uint32_t first = CurrentGame->FrameNumber;
    for (const uint32_t ms : {5u, 1u, 7u, 3u, 2u, 12u, 0u, 6u})
        h.Step(1, ms);
    EXPECT_EQ(CurrentGame->FrameNumber - first, 6u) << "36 ms";
    const uint32_t drawn = h.Form().LastFrameTick;
    h.Step(1, 0);
    EXPECT_EQ(h.Form().LastFrameTick, drawn);
    EXPECT_EQ(CurrentGame->FrameNumber - first, 6u);
}

// The real loop with a display refreshing R times a second: woken at each refresh, it runs the game
// frames due and shows the game as it stands at that moment. Holding a direction, the drawn ship moves
// on by 1000 / R pixels (the ship's 6 pixels a 6 ms frame) at every present, give or take a pixel of
// rounding, never standing still for a present and never jumping; game time keeps to real time.
TEST(FramePacing, TheDrawnShipAdvancesEvenlyAtEveryRefreshRate) {
    Harness h;
    ASSERT_TRUE(h.Started());
    // A plain block for the ship's picture, so its left edge can be found in the picture.
    constexpr uint32_t ShipColour = Rgb(1, 2, 3);
    std::unique_ptr<Surface>& sheet = GameSprites[GameRecord::ShipSheet];
    std::unique_ptr<Surface> real = std::move(sheet);
    sheet = Surface::Create(real->Width(), real->Height());
    sheet->Fill(ShipColour);
    for (const int hertz : {60, 75, 120, 144}) {
        SCOPED_TRACE(testing::Message() << hertz << " Hz");
        h.Form().StartGame();
        while (CurrentGame->Phase != GamePhase::Play)
            h.Step();
        TForm1& form = h.Form();
        form.Pacer.SetRefreshRate(hertz);
        const uint64_t start = GetMicroseconds();
        const uint32_t firstFrame = CurrentGame->FrameNumber;
        uint64_t presents = form.display.PresentCount();
        int lastX = -1, checked = 0, uneven = 0, least = 1000, most = 0;
        bool lastLeft = false, leftBefore = false;
        while (GetMicroseconds() - start < 10'000'000) {
            SleepUntilMicroseconds(form.Pacer.NextPresent());
            // Back and forth across the left of the field, 200 ms each way; nothing else comes.
            const bool left = (GetMicroseconds() - start) / 200'000 % 2 == 0;
            SetTestKeyHeld(ScanLeft, left);
            SetTestKeyHeld(ScanRight, !left);
            CurrentGame->Engine->SpawnTick = CurrentGame->FrameTick;
            form.ApplicationEvents1Idle();
            if (form.display.PresentCount() == presents) continue;
            presents = form.display.PresentCount();
            int x = 0;
            while (x < 650 && form.BackBuffer->Pixel(x, CurrentGame->Ship->Y + 50) != ShipColour)
                ++x;
            ASSERT_LT(x, 650) << "the ship is in the picture";
            // Only presents whose frames all held one direction: a turn shows as a shorter step.
            if (lastX >= 0 && left == lastLeft && left == leftBefore) {
                const double expected = (left ? -1000.0 : 1000.0) / hertz;
                ++checked;
                least = std::min(least, std::abs(x - lastX));
                most = std::max(most, std::abs(x - lastX));
                if (std::abs((x - lastX) - expected) > 1.0 || x == lastX) {
                    ++uneven;
                    ADD_FAILURE() << "moved " << x - lastX << " pixels, not " << expected;
                }
            }
            leftBefore = lastLeft;
            lastLeft = left;
            lastX = x;
        }
        std::printf(
            "%d Hz: the drawn ship moved %d to %d pixels a present (%.2f expected) over %d presents\n", hertz,
            least, most, 1000.0 / hertz, checked);
        EXPECT_GT(checked, hertz * 7);
        EXPECT_EQ(uneven, 0);
        const uint32_t frames = CurrentGame->FrameNumber - firstFrame;
        EXPECT_NEAR(frames, (GetMicroseconds() - start) / 6000.0, 2.0) << "166.7 game frames a second";
        if (uneven > 0) break;
    }
    ClearTestInput();
    sheet = std::move(real);
}

TEST(Shell, CloseRequestsFollowTheScreen) {
    struct Case {
        Screen screen;
        Screen after;
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
        {ScreenQuitQuestion, ScreenQuitQuestion}, // the exit question's "No" would drop the game
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
    EXPECT_EQ(h.Form().DrawPicture(), 1);
    EXPECT_FALSE(reloaded()) << "nothing reloaded";

    h.Form().display.SimulateSurfaceLoss(1, false); // the primary cannot be restored: reload anyway
    EXPECT_EQ(h.Form().DrawPicture(), 0);
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

// A drag on the window's top-left corner moves it as it grows; the refused resize puts the window
// back at its own size where it stood. (The headless window system reports no moves, so they are
// reported here as a window manager would.)
TEST(Shell, ARefusedResizeKeepsTheWindowWhereItWas) {
    Harness h;
    ASSERT_TRUE(h.Form().display.IsWindowed());
    SDL_Window* window = h.Form().display.Window();
    auto moveTo = [&](int x, int y) {
        SDL_SetWindowPosition(window, x, y);
        SDL_Event moved{};
        moved.type = SDL_WINDOWEVENT;
        moved.window.event = SDL_WINDOWEVENT_MOVED;
        moved.window.windowID = SDL_GetWindowID(window);
        moved.window.data1 = x;
        moved.window.data2 = y;
        SDL_PushEvent(&moved);
    };
    moveTo(114, 124);
    PumpEvents(h.Form());
    moveTo(24, 83);
    SDL_SetWindowSize(window, 890, 641);
    PumpEvents(h.Form());
    int x = 0, y = 0, w = 0, height = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &w, &height);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(x, 114);
    EXPECT_EQ(y, 124);
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

// "Game Over" runs on through P, the pad's Start and a restore: pausing is for play only.
TEST(Shell, GameOverIsNeverPaused) {
    Harness h;
    h.Form().StartGame();
    CurrentGame->Phase = GamePhase::GameOver;
    CurrentGame->PhaseTick = CurrentGame->FrameTick;
    h.Step();
    h.PressKey(SDLK_p);
    EXPECT_EQ(ScreenState, ScreenGame);
    h.Form().ApplicationDeactivate();
    h.Form().ApplicationRestore();
    EXPECT_EQ(ScreenState, ScreenGame);
    EXPECT_TRUE(h.StepUntilScreen(ScreenMainMenu, 1000)) << "and ends as ever";
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

TEST(Shell, CommandLineOptions) {
    using Action = CommandLine::Action;
    struct Case {
        std::vector<const char*> argv;
        Action action;
        std::optional<bool> windowed;
    };
    const Case cases[] = {
        {{"vantorix"}, Action::Play, std::nullopt},
        {{"vantorix", "--windowed"}, Action::Play, true},
        {{"vantorix", "--fullscreen"}, Action::Play, false},
        {{"vantorix", "--fullscreen", "--windowed"}, Action::Play, true},
        {{"vantorix", "--version"}, Action::ShowVersion, std::nullopt},
        {{"vantorix", "--bogus", "--help"}, Action::Misuse, std::nullopt},
        {{"vantorix", "--windowed", "--help"}, Action::ShowHelp, true},
        {{"vantorix", "-h"}, Action::ShowHelp, std::nullopt},
        {{"vantorix", "-"}, Action::Misuse, std::nullopt},
        {{"vantorix", "Config.cfg"}, Action::Misuse, std::nullopt},
    };
    for (const Case& c : cases) {
        const CommandLine command = ParseCommandLine(static_cast<int>(c.argv.size()), c.argv.data());
        EXPECT_EQ(command.action, c.action) << c.argv.back();
        EXPECT_EQ(command.windowed, c.windowed) << c.argv.back();
        EXPECT_EQ(command.problem.empty(), c.action != Action::Misuse) << c.argv.back();
    }
}

TEST(Shell, ThePlayersDataFolderFollowsXdgDataHome) {
    struct Case {
        const char* xdgDataHome;
        const char* home;
        const char* folder;
    };
    const Case cases[] = {
        {"/data", "/home/pilot", "/data/vantorix"},
        {nullptr, "/home/pilot", "/home/pilot/.local/share/vantorix"},
        {"", "/home/pilot", "/home/pilot/.local/share/vantorix"},
        {"relative/data", "/home/pilot", "/home/pilot/.local/share/vantorix"},
        {nullptr, nullptr, ""},
        {nullptr, "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlayerDataFolder(c.xdgDataHome, c.home).string(), c.folder) << c.folder;
}

TEST(Shell, DataIsFoundBesideABuildOrInTheInstallsShareFolder) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("vantorix-folders-" + std::to_string(::getpid()));
    fs::create_directories(root / "build" / "Data");
    std::ofstream(root / "build" / "Data" / "Data.pp") << "pack";
    fs::create_directories(root / "prefix" / "bin");
    EXPECT_EQ(InstalledDataFolder(root / "build"), root / "build");
    EXPECT_EQ(InstalledDataFolder(root / "prefix" / "bin"), root / "prefix" / "share" / "vantorix");
    fs::remove_all(root);
}

// Game frames come every 6 ms; the window gets at most one picture per refresh (60 Hz here), always the
// newest, never one the window already shows, and again whenever the window lost its picture.
TEST(Shell, PresentsFollowTheScreensPaceAndSkipAnUnchangedPicture) {
    Harness h;
    h.Click(1, 1); // past the intro: the main menu stands still
    h.Step(10);
    Display& display = h.Form().display;
    uint64_t sent = display.PresentCount();
    h.Step(20);
    EXPECT_EQ(display.PresentCount(), sent) << "an unchanged picture is not sent again";

    h.Form().WindowExposed();
    h.Step();
    EXPECT_EQ(display.PresentCount(), sent + 1) << "an uncovered window gets its picture back";

    h.Form().StartGame(); // every frame differs now
    sent = display.PresentCount();
    const uint32_t start = GetTickCount();
    uint32_t lastPresentTick = start;
    for (int frame = 0; frame < 100; ++frame) {
        h.Step();
        if (display.PresentCount() == sent) continue;
        sent = display.PresentCount();
        EXPECT_GE(GetTickCount() - lastPresentTick, 17u) << "at most once per 16.7 ms refresh";
        EXPECT_LE(GetTickCount() - lastPresentTick, 18u) << "never a refresh late (frames come every 6 ms)";
        EXPECT_EQ(display.ShownPixel(400, 300), h.Pixel(400, 300)) << "the newest frame is shown";
        lastPresentTick = GetTickCount();
    }
    EXPECT_GE(display.PresentCount(), 30u);
}

namespace {

// A window event as the window system sends it, handled at once.
void SendWindowEvent(Harness& h, SDL_WindowEventID what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    event.window.windowID = SDL_GetWindowID(h.Form().display.Window());
    SDL_PushEvent(&event);
    PumpEvents(h.Form());
}

// Ends a game with `score` and steps on until its hand-over to the name entry or the main menu.
void EndAGameWith(Harness& h, int32_t score) {
    h.Form().StartGame();
    CurrentGame->Score = score;
    CurrentGame->Phase = GamePhase::GameOver;
    CurrentGame->PhaseTick = CurrentGame->FrameTick;
    ASSERT_TRUE(h.StepUntilScreen(ScreenNameEntry, 1000));
}

bool NoticeBandLit(const Harness& h) {
    for (int x = 200; x < 600; ++x)
        for (int y = 566; y < 588; ++y)
            if (h.Pixel(x, y) == ColourBrightGreen) return true;
    return false;
}

} // namespace

TEST(Shell, ReactivationPlaysTheTuneOfTheScreen) {
    Harness h;
    Options.MusicEnabled = true;
    struct Case {
        Screen screen;
        const char* tune;
    };
    for (const Case c : {Case{ScreenMainMenu, "1.xm"}, Case{ScreenHiScores, "1.xm"}, Case{ScreenGame, "2.xm"},
                         Case{ScreenPause, "2.xm"}, Case{ScreenQuitQuestion, "2.xm"}}) {
        SCOPED_TRACE(c.screen);
        ScreenState = c.screen;
        h.Form().ApplicationDeactivate();
        EXPECT_EQ(MusicName(), "");
        h.Form().ApplicationActivate();
        EXPECT_EQ(MusicName(), c.tune);
    }
}

// Looking away from a game in play (another window takes the focus) pauses it, as a restore from the
// minimised state does; on other screens a loss of focus changes nothing.
TEST(Shell, LosingTheFocusInPlayPausesTheGame) {
    Harness h;
    auto loseFocus = [&] { SendWindowEvent(h, SDL_WINDOWEVENT_FOCUS_LOST); };
    ScreenState = ScreenMainMenu;
    loseFocus();
    EXPECT_EQ(ScreenState, ScreenMainMenu);

    h.Form().StartGame();
    h.Step();
    ASSERT_EQ(ScreenState, ScreenGame);
    loseFocus();
    EXPECT_EQ(ScreenState, ScreenPause);
    EXPECT_FALSE(SDL_GetRelativeMouseMode()) << "the pointer is given back";
}

// The pointer is hidden and held while a game runs, shown in the menus and under the pause, and let go
// whenever the window loses the focus, a game ending included; coming back to that game holds it again.
TEST(Shell, ThePointerIsHeldOnlyWhileAGameRunsInTheFocusedWindow) {
    Harness h;
    auto focus = [&](SDL_WindowEventID what) {
        SendWindowEvent(h, what);
        ApplyScreenChange();
    };
    auto held = [&] { return h.Form().display.GameMouse() && SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE; };
    auto shown = [&] { return !h.Form().display.GameMouse() && SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; };
    focus(SDL_WINDOWEVENT_FOCUS_GAINED);
    ScreenState = ScreenMainMenu;
    h.Step();
    EXPECT_TRUE(shown()) << "menus";

    h.Form().StartGame();
    for (int i = 0; i < 1000 && CurrentGame->Phase != GamePhase::Play; ++i)
        h.Step();
    EXPECT_TRUE(held()) << "play";
    h.PressKey(SDLK_p);
    EXPECT_TRUE(shown()) << "pause";
    h.PressKey(SDLK_p);
    EXPECT_TRUE(held()) << "play again";
    h.PressKey(SDLK_ESCAPE);
    EXPECT_TRUE(shown()) << "the quit question";
    h.PressKey(SDLK_n);
    EXPECT_TRUE(held()) << "back in play";

    CurrentGame->Lives = 0; // the last life lost: "Game Over" for two seconds
    h.Step();
    focus(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(ScreenState, ScreenGame) << "a game ending is not paused";
    EXPECT_TRUE(shown()) << "but the pointer is let go";
    focus(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_TRUE(held()) << "and held again on the way back";
    ASSERT_TRUE(h.StepUntilScreen(ScreenMainMenu, 3000));
    EXPECT_TRUE(shown()) << "the game is over";
}

// SDL makes the window anew under the program the first time a window drawn through its surface gets a
// renderer: the new window is hidden, shown and gains the focus without having lost it.
TEST(Shell, AWindowMadeAnewUnderTheProgramIsNoActivation) {
    Harness h;
    Options.MusicEnabled = true;
    ScreenState = ScreenMainMenu;
    auto windowEvent = [&](SDL_WindowEventID what) { SendWindowEvent(h, what); };
    windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(MusicName(), "");
    windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(MusicName(), "1.xm") << "a real return of the focus activates";

    h.PressKey(SDLK_RETURN, KMOD_LALT);
    ASSERT_FALSE(Options.Windowed);
    StopMusic(); // a restarted tune would show
    MouseActive = false;
    windowEvent(SDL_WINDOWEVENT_HIDDEN);
    windowEvent(SDL_WINDOWEVENT_SHOWN);
    windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(MusicName(), "");
    EXPECT_FALSE(MouseActive);
}

TEST(Shell, AModeSwitchKeepsTheFrozenPictureUnderPausesAndQuestions) {
    Harness h;
    const uint32_t frozen = Rgb(200, 100, 50);
    for (const Screen screen :
         {ScreenPause, ScreenQuitQuestion, ScreenNameEntry, ScreenSendQuestion, ScreenRetryQuestion}) {
        SCOPED_TRACE(screen);
        ScreenState = screen;
        h.Form().SavedScreen->Fill(frozen);
        h.PressKey(SDLK_RETURN, KMOD_LALT);
        EXPECT_EQ(h.Form().SavedScreen->Pixel(400, 590), frozen);
        h.Step();
        EXPECT_EQ(h.Pixel(795, 595), frozen) << "drawn under the panel";
    }
}

TEST(Shell, NameEntryOpensOnOkWhateverTheLastQuestionChose) {
    Harness h;
    // "Cancel" on the clear-table question leaves the shared Ok/Cancel pair on Cancel.
    ScreenState = ScreenClearQuestion;
    h.PressKey(SDLK_RIGHT);
    h.PressKey(SDLK_RETURN);
    ASSERT_EQ(ScreenState, ScreenHiScores);
    ASSERT_FALSE(OkCancelQuestion->Choice);

    EndAGameWith(h, 987654);
    EXPECT_TRUE(OkCancelQuestion->Choice);
    h.PressKey(SDLK_t);
    h.PressKey(SDLK_SPACE); // typed between two words of a name: takes the score, never throws it away
    EXPECT_EQ(ScreenState, ScreenSendQuestion);
    EXPECT_EQ(HiScoreTable[0].Score, 987654);
}

// Ok with no letters keeps the name entry open and says why; nothing reaches the table or the file.
TEST(Shell, BlankNameIsNotEntered) {
    Harness h;
    EndAGameWith(h, 987654);
    const std::string saved = h.ConfigBytes();
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenNameEntry);
    EXPECT_EQ(CurrentNotice(), NameMissingNotice);
    h.Step();
    EXPECT_TRUE(NoticeBandLit(h));
    EXPECT_NE(HiScoreTable[0].Score, 987654);
    EXPECT_EQ(h.ConfigBytes(), saved);

    h.PressKey(SDLK_t);
    h.PressKey(SDLK_BACKSPACE);
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenNameEntry) << "a name typed and rubbed out is blank too";
    h.PressKey(SDLK_t);
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenSendQuestion);
    EXPECT_EQ(HiScoreTable[0].Name, "T");
}

TEST(Shell, AScoreThatCouldNotBeSavedIsToldOnTheNextScreen) {
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only folder" : "writable folder");
        Harness h;
        EndAGameWith(h, 987654);
        h.PressKey(SDLK_t);
        {
            std::unique_ptr<ReadOnlyFolder> refuse;
            if (readOnly) refuse = std::make_unique<ReadOnlyFolder>(h.Folder());
            h.PressKey(SDLK_RETURN);
        }
        EXPECT_EQ(ScreenState, ScreenSendQuestion);
        EXPECT_EQ(CurrentNotice(), readOnly ? ScoreNotSavedNotice : "");
        h.Step();
        EXPECT_EQ(NoticeBandLit(h), readOnly);
        if (const char* shots = std::getenv("VANTORIX_SHOTS"); shots && readOnly)
            h.SaveScreenshot(std::string(shots) + "/score-not-saved.bmp"); // for looking at
        h.Step(1, NoticeShowMs);
        EXPECT_EQ(CurrentNotice(), "") << "gone after a few seconds";
        EXPECT_FALSE(NoticeBandLit(h));
    }
}

TEST(Shell, WebSiteWithoutABrowserSaysSo) {
    const std::string savedPath = getenv("PATH") ? getenv("PATH") : "";
    Harness h;
    setenv("PATH", h.Folder().c_str(), 1); // no xdg-open there
    ScreenState = ScreenMainMenu;
    MainMenu->ItemIndex = ItemWebSite;
    h.PressKey(SDLK_RETURN);
    setenv("PATH", savedPath.c_str(), 1);
    h.Step();
    EXPECT_EQ(ScreenState, ScreenMainMenu);
    EXPECT_EQ(CurrentNotice(), NoBrowserNotice);
    EXPECT_TRUE(NoticeBandLit(h));
}
