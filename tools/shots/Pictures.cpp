// Pictures to look at, made by driving the real shell: tools, not checks. Built with the tests
// (build/test/tools/shots/vantorix-shots), run from the build folder, one picked with --gtest_filter;
// the pictures go to $VANTORIX_SHOTS (or the working folder).
#include "Harness.h"
#include "ShellPilot.h"

#include "Game/TBaseBoss.h"
#include "Game/TEnemyEngine.h"
#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/TLineLive.h"
#include "Game/TMyShip.h"
#include "Game/TPulya.h"
#include "core/ScreenState.h"
#include "graphics/SpriteStore.h"
#include "graphics/Text.h"
#include "main/ControlsScreen.h"
#include "main/MenuWidgets.h"
#include "main/Screens.h"
#include "persistence/Options.h"
#include "platform/Input.h"
#include "platform/PlatformState.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// ---- Pictures to look at ----------------------------------------------------------------------------

std::filesystem::path ShotsFolder() {
    const char* folder = std::getenv("VANTORIX_SHOTS");
    return folder ? std::filesystem::path(folder) : std::filesystem::current_path();
}

// Writes the screens a player judges the presentation by into $VANTORIX_SHOTS (or the working folder):
// the main menu, the options with their longest values, the name entry with a ten-letter name full of
// descenders, the retry screen, the game with the ship in the lower right corner and each gun firing,
// and a sheet of every enemy shot beside every player shot on the nebula and on plain space.
TEST(Pictures, Screens) {
    const std::filesystem::path folder = ShotsFolder();
    auto save = [&](const Harness& h, const char* name) { h.SaveScreenshot((folder / name).string()); };
    Harness h("", 31337);
    ASSERT_TRUE(h.Started());
    GoToMainMenu(h);
    h.Step(2);
    save(h, "main-menu.bmp");

    Options.Windowed = false; // only the value shown; the display stays as it is
    Options.Country = "Gypsyquayq";
    ApplyCountryToOptionsScreen();
    ScreenState = ScreenOptions;
    h.Step(2);
    save(h, "options.bmp");
    Options.Windowed = true;

    OpenNameEntry(h, 5000);
    for (char c : std::string("gypsyquayq"))
        h.PressKey(static_cast<SDL_Keycode>(c), HiScoreNameEdit->Text.empty() ? KMOD_LSHIFT : KMOD_NONE);
    h.Step(2);
    save(h, "name-entry.bmp");

    ScreenState = ScreenRetryQuestion;
    h.Step(2);
    save(h, "retry.bmp");
    ScreenState = ScreenPleaseWait;
    h.Step(1);
    save(h, "waiting.bmp");

    h.Form().StartGame();
    for (int i = 0; i < 3000 && CurrentGame->Phase != GamePhase::Play; ++i)
        h.Step();
    constexpr uint8_t PlayerGuns[] = {0, 1, 8, 3, 5};
    for (uint8_t gun : PlayerGuns) {
        CurrentGame->Ship->Gun->SetWeapon(gun);
        CurrentGame->Ship->UpgradeSeconds = 30;
        SetTestKeyHeld(ScanLeftCtrl, true);
        SetTestKeyHeld(ScanUp, true);
        for (int i = 0; i < 200; ++i) {
            CurrentGame->Energy = std::max<int16_t>(CurrentGame->Energy, 60);
            h.Step();
        }
        save(h, ("gun-" + std::to_string(gun) + ".bmp").c_str());
    }
    SetTestKeyHeld(ScanUp, false);
    SetTestKeyHeld(ScanLeftCtrl, false);
    SetTestKeyHeld(ScanRight, true);
    SetTestKeyHeld(ScanDown, true);
    CurrentGame->Ship->MegaBombReady = CurrentGame->Ship->MegaSkullReady = true;
    for (int i = 0; i < 150; ++i) {
        CurrentGame->Energy = std::max<int16_t>(CurrentGame->Energy, 60);
        h.Step();
    }
    CurrentGame->Ship->TakeDamage(2);
    h.Step();
    save(h, "ship-lower-right-hit.bmp");
    for (int i = 0; i < 60; ++i)
        h.Step();
    save(h, "ship-lower-right.bmp");
    ClearTestInput();

    // Every enemy shot (top row of each pair) over every player shot, on the nebula and on black.
    auto sheet = Surface::Create(800, 600);
    for (int half = 0; half < 2; ++half) {
        const int top = half * 300;
        if (half == 0)
            sheet->BlitFrom(*GameSprites[2], TRect{0, 0, 512, 300}, 0, 0, false),
                sheet->BlitFrom(*GameSprites[2], TRect{0, 0, 288, 300}, 512, 0, false);
        int x = 5;
        for (int kind = 0; kind < PlayerShotSpriteCount; ++kind) {
            const Surface& enemy = *GameSprites[FirstShotRecord + kind];
            const int w = std::min(enemy.Width(), std::min(enemy.Height(), 80));
            sheet->BlitFrom(enemy, TRect{0, 0, w, std::min(enemy.Height(), 140)}, x, top + 5, true);
            sheet->BlitFrom(*PlayerShotSprites[kind], TRect{0, 0, w, std::min(enemy.Height(), 140)}, x,
                            top + 150, true);
            x += w + 10;
        }
    }
    SDL_SaveBMP(sheet->Native(), (folder / "shots.bmp").string().c_str());
}

// The controls: the help page with the first start's keys and with keys and pad buttons given away
// (the longest names), and the controls screen.
TEST(Pictures, Controls) {
    const std::filesystem::path folder = ShotsFolder();
    auto save = [&](const Harness& h, const char* name) { h.SaveScreenshot((folder / name).string()); };
    Harness h("", 31337);
    ASSERT_TRUE(h.Started());
    GoToMainMenu(h);
    ScreenState = ScreenHelpControls;
    h.Step(2);
    save(h, "help-controls.bmp");

    ControlBindings& controls = PlayerControls;
    const std::pair<GameControl, uint8_t> keys[] = {{GameControl::Up, 0x48},   {GameControl::Down, 0x50},
                                                    {GameControl::Left, 0x4B}, {GameControl::Right, 0x4D},
                                                    {GameControl::Fire, 0x2A}, {GameControl::Pause, 0x0E}};
    for (const auto& [control, key] : keys)
        PlaceKey(controls, control, 1, key);
    PlacePadButton(controls, GameControl::Up, 1, PadButton::Y);
    PlacePadButton(controls, GameControl::Down, 1, PadButton::LeftShoulder);
    PlacePadButton(controls, GameControl::Left, 1, PadButton::LeftTrigger);
    PlacePadButton(controls, GameControl::Right, 1, PadButton::RightShoulder);
    PlacePadButton(controls, GameControl::QuitQuestion, 1, PadButton::Start);
    h.Step(2);
    save(h, "help-controls-remapped.bmp");

    ScreenState = ScreenOptions;
    h.Step(2);
    save(h, "options-controls-row.bmp");
    OpenControlsScreen();
    ApplyScreenChange();
    h.Step(2);
    save(h, "controls.bmp");
    h.PressKey(SDLK_DOWN);
    h.PressKey(SDLK_RIGHT);
    h.PressKey(SDLK_RETURN);
    h.Step(2);
    save(h, "controls-waiting.bmp");
    h.PressKey(SDLK_SPACE); // the special weapon's key, for "Fly right"
    h.Step(2);
    save(h, "controls-swap.bmp");
}

// Plays on to the first boss and writes pictures of a crowded battle and of the boss fight into
// $VANTORIX_SHOTS (or the working folder).
TEST(Pictures, BattleAndFirstBoss) {
    const std::filesystem::path folder = ShotsFolder();
    Harness h("", 77);
    ASSERT_TRUE(h.Started());
    h.Form().StartGame();
    ScriptedPilot pilot(h);
    bool battleSaved = false;
    while (CurrentGame && CurrentGame->StageNumber < 3 && pilot.Frame() < 40000) {
        pilot.Fly(1);
        const TGame& game = *CurrentGame;
        if (!battleSaved && game.StageNumber == 2 && game.Engine->LiveShips() >= 5 &&
            CountOccupied(game.Hits) >= 2) {
            h.SaveScreenshot((folder / "battle.bmp").string());
            battleSaved = true;
        }
    }
    ASSERT_NE(CurrentGame, nullptr);
    ASSERT_EQ(CurrentGame->StageNumber, 3u);
    // The boss fight: the boss down in the field, hurt (its bar showing) or with shots in flight.
    bool bossSaved = false;
    pilot.stayLow = true;
    for (int i = 0; i < 20000 && CurrentGame && CurrentGame->StageNumber == 3 && !bossSaved; ++i) {
        pilot.Fly(1);
        const TBaseBoss* boss = CurrentGame->Engine->Boss.get();
        if (boss && boss->Y > 100 && (boss->LifeBar->Visible || CountOccupied(boss->Gun->Shots) >= 1)) {
            h.SaveScreenshot((folder / "boss.bmp").string());
            bossSaved = true;
        }
    }
    EXPECT_TRUE(battleSaved);
    EXPECT_TRUE(bossSaved);
    ClearTestInput();
}

} // namespace
