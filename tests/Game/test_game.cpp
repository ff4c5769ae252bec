#include "GameFixture.h"

#include "Game/TBaseBoss.h"
#include "Game/TEnemyEngine.h"
#include "Game/THit.h"
#include "Game/TMyShip.h"
#include "core/ScreenState.h"
#include "graphics/SpriteStore.h"
#include "persistence/HiScores.h"

#include <string>

using GameTest = GameFixture;

TEST_F(GameTest, FirstFrameGoesStraightToTheIntro) {
    EXPECT_EQ(Game().Phase, GamePhase::Restart);
    Frames(1);
    EXPECT_EQ(Game().Phase, GamePhase::Intro);
}

TEST_F(GameTest, CaptionShowsForMoreThanTwoSecondsThenPlayStartsWithFullEnergy) {
    Frames(1);
    const uint32_t introStart = Game().PhaseTick;
    Game().Energy = 5;
    Game().Distance = 77;
    Frames(333);
    ASSERT_EQ(Game().FrameTick - introStart, 1998u);
    EXPECT_EQ(Game().Phase, GamePhase::Intro);
    EXPECT_LE(Game().Distance, 2u); // reset, then at most one step of each layer
    EXPECT_EQ(Game().Ship->X, ShipStartX);
    EXPECT_EQ(Game().Ship->Y, ShipStartY);
    Frames(1); // 2004 ms: more than two seconds
    EXPECT_EQ(Game().Phase, GamePhase::Play);
    EXPECT_EQ(Game().Energy, FullEnergy);
}

TEST_F(GameTest, StageEndsAtItsDistanceThreshold) {
    struct Case {
        uint32_t stage;
        uint32_t threshold;
    };
    for (const Case c : {Case{1, 10000}, Case{2, 15000}, Case{300, 1505000}}) {
        SCOPED_TRACE(c.stage);
        Game().StageNumber = c.stage;
        Game().Phase = GamePhase::Play;
        Game().Distance = c.threshold - 3; // the two layers add at most two per frame
        Frames(1);
        EXPECT_EQ(Game().StageNumber, c.stage);
        Game().Distance = c.threshold;
        Frames(1);
        EXPECT_EQ(Game().StageNumber, c.stage + 1);
        EXPECT_EQ(Game().Phase, GamePhase::Restart);
    }
}

TEST_F(GameTest, CaptionNamesLevelAndStage) {
    struct Case {
        uint32_t stage;
        const char* caption;
    };
    for (const Case c :
         {Case{1, "Level 1-1"}, Case{3, "Level 1-3"}, Case{4, "Level 2-1"}, Case{256, "Level 86-1"}}) {
        NewGame();
        while (Game().StageNumber < c.stage)
            Game().NextStage();
        EXPECT_EQ(Game().StageCaption(), c.caption);
    }
}

TEST_F(GameTest, KindLimitCyclesAndEveryThirdStageGetsABoss) {
    struct Case {
        uint32_t stage;
        uint8_t kindLimit;
        uint8_t boss;
    };
    for (const Case c : {Case{3, 3, 0}, Case{6, 6, 1}, Case{9, 9, 2}, Case{12, 2, 0}, Case{21, 1, 0},
                         Case{30, 10, 2}, Case{255, 5, 0}, Case{256, 6, 1}, Case{260, 10, 2}}) {
        SCOPED_TRACE(c.stage);
        Game().StageNumber = c.stage;
        EXPECT_EQ(Game().KindLimit(), c.kindLimit);
        EXPECT_EQ(Game().BossKind(), c.boss);
    }
}

TEST_F(GameTest, ThirdStageStartsWithItsBoss) {
    Game().NextStage();
    Game().NextStage();
    ASSERT_EQ(Game().StageInLevel, 3);
    Frames(1);
    FramesFor(2001);
    EXPECT_NE(Game().Engine->Boss, nullptr);
}

TEST_F(GameTest, ProgressMarkerClimbsFrom245To55OverEachStage) {
    EXPECT_EQ(ProgressMarkerY(0, 1), 245);
    EXPECT_EQ(ProgressMarkerY(10000, 1), 55);
    EXPECT_EQ(ProgressMarkerY(15000, 2), 55);
    EXPECT_EQ(ProgressMarkerY(5000, 1), 150);
    EXPECT_EQ(ProgressMarkerY(1500000, 299), 55);
}

TEST_F(GameTest, LosingTheLastLifeEndsTheGameInTheSameFrame) {
    StartPlaying();
    Game().Lives = 1;
    Game().Energy = 0;
    Frames(1);
    EXPECT_EQ(Game().Lives, 0);
    EXPECT_EQ(Game().Phase, GamePhase::GameOver);
}

TEST_F(GameTest, GameOverShowsTwoSecondsThenFinishes) {
    StartPlaying();
    Game().Lives = 0;
    Frames(1);
    ASSERT_EQ(Game().Phase, GamePhase::GameOver);
    Frames(333); // 1998 ms
    EXPECT_FALSE(Game().Finished);
    Frames(1);
    EXPECT_TRUE(Game().Finished);
}

TEST_F(GameTest, ConfirmedQuitSkipsTheGameOverCaption) {
    StartPlaying();
    FramesFor(1000);
    Game().Phase = GamePhase::GameOver; // what the quit prompt's Yes does
    Frames(1);
    EXPECT_TRUE(Game().Finished);
}

TEST_F(GameTest, LostLifeWaitsForTheExplosionsThenReplaysTheStage) {
    StartPlaying();
    Game().StageNumber = 5;
    Game().Score = 1234;
    Game().Armour = 20;
    Game().Energy = 0;
    Frames(1);
    EXPECT_EQ(Game().Lives, 2);
    EXPECT_EQ(Game().Phase, GamePhase::Restart);
    EXPECT_EQ(CountOccupied(Game().Hits), 5u);
    int frames = 0;
    while (Game().Phase == GamePhase::Restart && frames < 1000)
        Frames(1), ++frames;
    EXPECT_EQ(Game().Phase, GamePhase::Intro);
    EXPECT_GT(frames, 56 * 5); // the last explosion waits 40 steps, then shows 16, a step every 36 ms
    FramesFor(2001);
    EXPECT_EQ(Game().Phase, GamePhase::Play);
    EXPECT_EQ(Game().StageNumber, 5u);
    EXPECT_EQ(Game().Score, 1234);
    EXPECT_EQ(Game().Armour, 20);
    EXPECT_EQ(Game().Energy, FullEnergy);
    EXPECT_LE(Game().Distance, 2u);
}

TEST_F(GameTest, SpawnHitTakesTheLowestSlotAndDropsWhenFull) {
    Game().SpawnHit(10, 10, 0, 0);
    Game().SpawnHit(10, 10, 0, 0);
    Game().Hits[0].reset();
    Game().SpawnHit(20, 30, 11, 0);
    ASSERT_NE(Game().Hits[0], nullptr);
    EXPECT_EQ(Game().Hits[0]->X, 20);
    EXPECT_EQ(Game().Hits[0]->Slot, 0);
    for (int i = 0; i < 30; ++i)
        Game().SpawnHit(1, 1, 0, 0);
    EXPECT_EQ(CountOccupied(Game().Hits), GameSlotCount);
}

TEST_F(GameTest, HitKindsMapToSizeClasses) {
    struct Case {
        uint8_t kind;
        uint8_t sizeClass;
    };
    for (const Case c : {Case{0, 0}, Case{4, 1}, Case{8, 2}, Case{9, 3}, Case{11, 5}, Case{14, 5},
                         Case{17, 5}, Case{18, 0}, Case{255, 0}})
        EXPECT_EQ(HitSizeClass(c.kind), c.sizeClass) << int(c.kind);
}

TEST_F(GameTest, HitRunsSixteenStepsAfterItsDelayAndEmptiesItsSlot) {
    for (const int8_t start : {int8_t{0}, int8_t{-10}}) {
        SCOPED_TRACE(start);
        Game().SpawnHit(100, 100, 9, start);
        int updates = 0;
        while (Game().Hits[0] && updates < 200) {
            AdvanceGameClock(31);
            Game().Hits[0]->Step();
            ++updates;
        }
        EXPECT_EQ(updates, HitLastCounter - start);
    }
}

TEST_F(GameTest, HitStepsAtMostOncePerThirtyMilliseconds) {
    Game().SpawnHit(100, 100, 0, 0);
    THit& hit = *Game().Hits[0];
    AdvanceGameClock(31);
    hit.Step();
    const int16_t counter = hit.Counter;
    AdvanceGameClock(30);
    hit.Step();
    EXPECT_EQ(hit.Counter, counter);
    AdvanceGameClock(1);
    hit.Step();
    EXPECT_EQ(hit.Counter, counter + 1);
}

#include "Game/TGunner.h"
#include "Harness.h"

#include <cstdlib>

namespace {

// Pictures for a person to look at, written only when VANTORIX_SHOTS names a folder.
void MaybeSaveScreenshot(const Harness& h, const char* name) {
    if (const char* folder = std::getenv("VANTORIX_SHOTS"))
        h.SaveScreenshot(std::string(folder) + "/" + name);
}

} // namespace

void RunANewGame(Harness& h);

TEST(GameScreens, ANewGameShowsTheCaptionThenPlayWithShipAndHud) {
    {
        Harness h;
        RunANewGame(h);
    }
    // The shell's close leaves the keyboard unacquired; later suites expect it as at program start.
    AcquireKeyboard();
}

void RunANewGame(Harness& h) {
    ASSERT_TRUE(h.Started());
    h.Form().StartGame();
    ASSERT_NE(CurrentGame, nullptr);
    h.Step(20);
    EXPECT_EQ(CurrentGame->Phase, GamePhase::Intro);
    MaybeSaveScreenshot(h, "game_intro.bmp");
    h.Step(400);
    ASSERT_EQ(CurrentGame->Phase, GamePhase::Play);
    KeyState.fill(0);
    CurrentGame->Ship->MegaSkullReady = true;
    CurrentGame->Armour = 40;
    CurrentGame->Ship->Gun->LastShotTick = 0;
    for (int i = 0; i < 40; ++i) {
        CurrentGame->Ship->Gun->Fire();
        h.Step(1, 60);
    }
    CurrentGame->SpawnHit(300, 200, 9, 0);
    CurrentGame->SpawnHit(420, 260, 0, 0);
    h.Step(3);
    MaybeSaveScreenshot(h, "game_play.bmp");
    // The ship stands at its start column, the bars are filled from y 454 up.
    EXPECT_NE(h.Pixel(CurrentGame->Ship->X + 32, CurrentGame->Ship->Y + 50), 0u);
    EXPECT_NE(h.Pixel(784, 400), 0u);
    EXPECT_NE(h.Pixel(751, 400), 0u);
    CurrentGame->Lives = 1;
    CurrentGame->Energy = 0;
    h.Step(1);
    EXPECT_EQ(CurrentGame->Lives, 0);
    h.Step(5);
    MaybeSaveScreenshot(h, "game_over.bmp");
    EXPECT_TRUE(h.StepUntilScreen(ScreenMainMenu, 600));
}

TEST(GameScreens, OnlyAScoreAboveTheTenthEntryGoesToNameEntryOverTheFinalPicture) {
    {
        Harness h;
        ASSERT_TRUE(h.Started());
        const int32_t tenth = HiScoreTable[HiScoreCount - 1].Score;
        struct Case {
            int32_t score;
            int32_t screen;
        };
        for (const Case c : {Case{tenth, ScreenMainMenu}, Case{tenth + 1, ScreenNameEntry}}) {
            SCOPED_TRACE(c.score);
            h.Form().StartGame();
            h.Form().SavedScreen->Fill(0);
            CurrentGame->Score = c.score;
            CurrentGame->Phase = GamePhase::GameOver;
            CurrentGame->PhaseTick = CurrentGame->FrameTick - 5000;
            h.Step();
            EXPECT_EQ(ScreenState, c.screen);
            // The final picture is kept for the name entry only.
            EXPECT_EQ(h.Form().SavedScreen->Pixel(400, 590) == h.Pixel(400, 590),
                      c.screen == ScreenNameEntry);
        }
    }
    AcquireKeyboard();
}

// The weapon corner of the HUD (gun icon, "X 99", the special weapons) lies under the ship: flown
// into the lower right, every pixel of the ship is its own.
TEST_F(GameTest, TheShipIsDrawnOverTheWeaponCorner) {
    LoadSpriteStore();
    StartPlaying();
    Game().Ship->MegaSkullReady = true;
    Game().Ship->MegaBombReady = true;
    for (const int16_t x : {ShipMaxX, static_cast<int16_t>(ShipMaxX - 40)}) {
        SCOPED_TRACE(x);
        Game().Ship->X = x;
        Game().Ship->Y = ShipMaxY;
        Frames(1);
        const TMyShip& ship = *Game().Ship;
        const Surface& sheet = *GameSprites[8];
        const int frameLeft = ShipWidth * (2 * ship.Tilt + ship.FlameFrame);
        int covered = 0, shown = 0;
        for (int y = 0; y < ShipHeight && ship.Y + y < 598; ++y)
            for (int dx = 0; dx < ShipWidth; ++dx) {
                const uint32_t own = sheet.Pixel(frameLeft + dx, y);
                if (own == sheet.ColourKey()) continue;
                ++shown;
                covered += target->Pixel(ship.X + dx, ship.Y + y) != own;
            }
        EXPECT_GT(shown, 1000);
        EXPECT_EQ(covered, 0);
    }
    FreeSpriteStore();
}
