// Every game is recorded and its replay checks out without a screen: a game flown through the real
// shell is kept as the last game, re-plays to the same end, and a replay that was tampered with,
// cut short or made by another build gets the verdict it deserves.
#include "Harness.h"
#include "ShellPilot.h"

#include "DXCtrl/TDDEdit.h"
#include "Game/TGame.h"
#include "graphics/GraphicsState.h"
#include "graphics/Text.h"
#include "main/GameVersion.h"
#include "main/MainState.h"
#include "main/MenuWidgets.h"
#include "main/Notice.h"
#include "main/ReplayCheck.h"
#include "main/Screens.h"
#include "main/Watching.h"
#include "persistence/PersistenceState.h"
#include "platform/Clock.h"
#include "platform/Gamepad.h"
#include "replay/ReplayShelf.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

namespace {

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct CommandAnswer {
    int status = -1;
    std::string line;
};

CommandAnswer RunCheckCommand(const std::string& file) {
    testing::internal::CaptureStdout();
    CommandAnswer answer;
    answer.status = RunReplayCheckCommand(file);
    answer.line = testing::internal::GetCapturedStdout();
    return answer;
}

class RecordedGame : public testing::Test {
  protected:
    void SetUp() override {
        GoToMainMenu(h);
        h.Form().StartGame();
        FlyAndGiveUp(h, 2200);
        playedScore = CurrentGame->Score;
        ASSERT_GT(playedScore, 0) << "the pilot met the opposition";
        playedStage = CurrentGame->StageNumber;
        ReplayReadResult read = LoadReplayFile(LastGameReplayPath);
        ASSERT_TRUE(read.Read) << read.Error;
        recorded = std::move(*read.Read);
    }

    Harness h;
    int32_t playedScore = 0;
    uint32_t playedStage = 0;
    Replay recorded;
};

} // namespace

TEST_F(RecordedGame, IsKeptAsTheLastGameAndChecksOutWithoutAScreen) {
    EXPECT_EQ(recorded.GameVersion, GameVersion);
    EXPECT_EQ(recorded.RulesVersion, ThisBuild().rulesVersion);
    EXPECT_EQ(recorded.RulesHash, ThisBuild().rulesHash);
    EXPECT_EQ(recorded.Score, playedScore);
    EXPECT_GT(recorded.Frames.size(), 1300u) << "every frame, the game-over's included";
    EXPECT_EQ(recorded.StateHashes.size(), recorded.Frames.size() / StateHashInterval);
    const ReplayCheck check = CheckReplay(recorded, ThisBuild());
    EXPECT_EQ(check.verdict, ReplayVerdict::Verified) << check.reason;
    EXPECT_EQ(check.score, playedScore);
    EXPECT_EQ(check.stage, playedStage);
    EXPECT_EQ(check.frames, recorded.Frames.size());
    EXPECT_FALSE(check.firstMismatchFrame);
}

TEST_F(RecordedGame, TamperedCutShortOrForeignReplaysGetTheirVerdicts) {
    // The steering held in frame 1000 let go for that one frame.
    Replay flipped = recorded;
    ReplayFrame& frame = flipped.Frames[1000];
    ASSERT_NE(frame.Controls & (ControlLeft | ControlRight), 0);
    frame.Controls &= static_cast<uint8_t>(~(frame.Controls & ControlLeft ? ControlLeft : ControlRight));
    Replay higherScore = recorded;
    higherScore.Score += 1000;
    Replay otherRules = recorded;
    otherRules.RulesVersion = 1;
    Replay otherRelease = recorded; // the same rules in another release: it still checks out
    otherRelease.GameVersion = "0.9.0";
    Replay madeUpEnd = recorded; // frames after the one that ended the game
    madeUpEnd.Frames.resize(recorded.Frames.size() + 700, ReplayFrame{ControlFire});
    madeUpEnd.StateHashes.resize(madeUpEnd.Frames.size() / StateHashInterval);
    Replay otherTables = recorded;
    otherTables.RulesHash ^= 1;
    std::vector<uint8_t> truncated = WriteReplay(recorded);
    truncated.resize(truncated.size() - 10);

    struct Case {
        const char* file;
        std::vector<uint8_t> bytes;
        int status;
        const char* verdict;
        std::string mismatchFrame;
    };
    const Case cases[] = {
        {"same.vtxreplay", WriteReplay(recorded), 0, "verified", "null"},
        {"flipped.vtxreplay", WriteReplay(flipped), 1, "mismatch", "1200"},
        {"score.vtxreplay", WriteReplay(higherScore), 1, "mismatch", "null"},
        {"longer.vtxreplay", WriteReplay(madeUpEnd), 1, "mismatch", std::to_string(recorded.Frames.size())},
        {"rules.vtxreplay", WriteReplay(otherRules), 2, "other-build", "null"},
        {"tables.vtxreplay", WriteReplay(otherTables), 2, "other-build", "null"},
        {"release.vtxreplay", WriteReplay(otherRelease), 0, "verified", "null"},
        {"cut.vtxreplay", truncated, 2, "unreadable", "null"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        WriteFile(c.file, c.bytes);
        const CommandAnswer answer = RunCheckCommand(c.file);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_NE(answer.line.find(std::string("\"verdict\":\"") + c.verdict + "\""), std::string::npos)
            << answer.line;
        EXPECT_NE(answer.line.find(std::string("\"first_mismatch_frame\":") + c.mismatchFrame + "}"),
                  std::string::npos)
            << answer.line;
        EXPECT_EQ(answer.line.back(), '\n');
        EXPECT_EQ(answer.line.find('\n'), answer.line.size() - 1) << "one line";
    }
    EXPECT_NE(
        RunCheckCommand("score.vtxreplay").line.find("reaches a score of " + std::to_string(playedScore)),
        std::string::npos);
    EXPECT_EQ(RunCheckCommand("missing.vtxreplay").status, 2);
}

namespace {

// The speed's caption, the time and the keys are drawn above this row.
constexpr int BelowTheCaption = 136;

// The picture's rows above and below the caption, each summed up by a hash of its pixels.
struct PictureHashes {
    uint64_t top = 0, below = 0;
};

PictureHashes HashPicture(const Surface& picture) {
    PictureHashes hashes;
    for (int y = 0; y < picture.Height(); ++y) {
        uint64_t& hash = y < BelowTheCaption ? hashes.top : hashes.below;
        const uint32_t* row = picture.Row(y);
        for (int x = 0; x < picture.Width(); ++x)
            hash = (hash ^ row[x]) * 0x100000001b3ULL;
    }
    return hashes;
}

} // namespace

// At 1x every frame is drawn; at 4x three in four run undrawn: either way each picture shown is the
// one the game drew at that moment of play (below the speed's caption while it shows).
TEST(WatchedReplay, ShowsThePicturesTheGameDrewAtEverySpeed) {
    Harness h;
    GoToMainMenu(h);
    h.Form().StartGame();
    std::map<uint32_t, PictureHashes> drawn; // by the frame's time
    FlyAndGiveUp(h, 2200, [&] {
        if (ScreenState != ScreenGame) return;
        drawn[CurrentGame->FrameTick] = HashPicture(*h.Form().BackBuffer);
    });
    ASSERT_GT(drawn.size(), 1000u);

    for (const uint16_t speedKey : {'1', '4'}) {
        SCOPED_TRACE(speedKey);
        ASSERT_TRUE(StartWatchingReplay(h.Form(), LastGameReplayPath, ScreenHiScores));
        ApplyScreenChange();
        ASSERT_EQ(ScreenState, ScreenReplay);
        h.PressKey(speedKey);
        int compared = 0, differing = 0;
        for (int i = 0; i < 20000 && Watching; ++i) {
            h.Step(1, 6);
            if (!Watching) break;
            if (Watching->player->FramesRun() == 0) continue; // the game's start tick, before a frame ran
            const auto played = drawn.find(Watching->player->Game().FrameTick);
            if (played == drawn.end()) continue;
            ++compared;
            const PictureHashes shown = HashPicture(*h.Form().BackBuffer);
            const bool captionShows = GetTickCount() - Watching->captionShownAt < WatchCaptionMs;
            differing +=
                shown.below != played->second.below || (!captionShows && shown.top != played->second.top);
        }
        EXPECT_EQ(ScreenState, ScreenHiScores) << "the end of the replay goes back";
        EXPECT_GT(compared, speedKey == '1' ? 1000 : 100);
        EXPECT_EQ(differing, 0);
    }
}

// A game that enters the table keeps its replay for its row: the row is marked, Tab and Enter (or the
// pad's X and A) watch it, Escape (or B) comes back; once a cleared table is saved, the replay goes
// with its row.
TEST(TableReplays, ARowKeepsItsGameUntilTheSavedTableLosesIt) {
    Harness h;
    GoToMainMenu(h);
    for (THiScores& row : HiScoreTable)
        row.Score = 0; // any score enters
    h.Form().StartGame();
    FlyAndGiveUp(h, 1200);
    ASSERT_EQ(ScreenState, ScreenNameEntry);
    HiScoreNameEdit->SetText("Ace");
    h.PressKey(SDLK_RETURN);
    ASSERT_EQ(ScreenState, ScreenSendQuestion);
    h.PressKey(SDLK_RIGHT);
    h.PressKey(SDLK_RETURN); // No: on to the table
    ASSERT_TRUE(h.StepUntilScreen(ScreenHiScores, 5));
    h.Step();

    ASSERT_EQ(HiScoreTable[0].Name, "Ace");
    const std::string kept = HiScoreReplays.files[0].Path;
    ASSERT_FALSE(kept.empty());
    for (int row = 1; row < HiScoreCount; ++row)
        EXPECT_TRUE(HiScoreReplays.files[row].Path.empty()) << row;
    const ReplayReadResult read = LoadReplayFile(kept);
    ASSERT_TRUE(read.Read);
    EXPECT_EQ(read.Read->PlayerName, "Ace");
    EXPECT_EQ(read.Read->Score, HiScoreTable[0].Score);
    EXPECT_EQ(LoadReplayFile(LastGameReplayPath).Read->PlayerName, "Ace") << "the last game is named too";

    h.PressKey(SDLK_TAB);
    EXPECT_EQ(WatchRow, 0);

    h.PressKey(SDLK_RETURN);
    ASSERT_EQ(ScreenState, ScreenReplay);
    h.Step(50);
    h.PressKey(SDLK_ESCAPE);
    EXPECT_EQ(ScreenState, ScreenHiScores);
    EXPECT_FALSE(Watching);

    // The same with a pad alone: X into the rows, A watches, Start pauses, B comes back.
    ASSERT_TRUE(AttachVirtualGamepad());
    h.Step();
    const auto press = [&](PadButton button) {
        SetVirtualPadButton(button, true);
        h.Step();
        SetVirtualPadButton(button, false);
        h.Step();
    };
    h.PressKey(SDLK_ESCAPE); // out of the rows, onto the buttons
    ASSERT_EQ(WatchRow, -1);
    press(PadButton::X);
    EXPECT_EQ(WatchRow, 0);
    press(PadButton::A);
    ASSERT_EQ(ScreenState, ScreenReplay);
    press(PadButton::Start);
    ASSERT_TRUE(Watching);
    EXPECT_TRUE(Watching->paused);
    const size_t framesWhenPaused = Watching->player->FramesRun();
    h.Step(30);
    EXPECT_EQ(Watching->player->FramesRun(), framesWhenPaused);
    press(PadButton::B);
    EXPECT_EQ(ScreenState, ScreenHiScores);
    DetachVirtualGamepad();

    h.PressKey(SDLK_ESCAPE); // out of the rows, onto the buttons
    h.Click(130, 170);       // Clear
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN); // Ok
    ASSERT_EQ(HiScoreTable[0].Name, "Anonymous");
    EXPECT_TRUE(std::filesystem::exists(kept)) << "a table cleared in memory only may come back";
    ASSERT_TRUE(SaveSettings());
    EXPECT_FALSE(std::filesystem::exists(kept));
    EXPECT_TRUE(std::filesystem::exists(LastGameReplayPath));
}

// A kept table replay recorded by an earlier version (the first file format) stays with its row, on
// disk as it was: the row shows the triangle's outline only, and choosing it tells why it cannot be
// watched instead of starting anything.
TEST(TableReplays, AnEarlierVersionsReplayKeepsItsRowButIsNotWatched) {
    Harness h;
    GoToMainMenu(h);
    HiScoreTable[0].Name = "Ace";
    HiScoreTable[0].Score = 4321;
    // The start of a first-format file, as far as a row is found by: its version, then the name and score.
    std::vector<uint8_t> earlier = {'V', 'T', 'X', 'R', 'E', 'P', 'L', 'Y', 1, 0, 5, '1', '.', '0', '.', '0'};
    earlier.resize(earlier.size() + 8 + 4 + 4 + 4); // pack hash, seed, tick, options
    for (const uint8_t byte : {uint8_t{3}, uint8_t{'A'}, uint8_t{'c'}, uint8_t{'e'}, uint8_t{0xE1},
                               uint8_t{0x10}, uint8_t{0}, uint8_t{0}})
        earlier.push_back(byte); // the name, and 4321 little-endian
    std::filesystem::create_directories(ReplayFolder);
    const std::string kept = std::string(ReplayFolder) + "/top-4321-0000000000000001.vtxreplay";
    WriteFile(kept, earlier);

    RequestScreen(ScreenHiScores);
    ApplyScreenChange();
    h.Step();
    ASSERT_EQ(HiScoreReplays.files[0].Path, kept);
    EXPECT_TRUE(HiScoreReplays.files[0].OtherFormat);
    // The mark's middle row, 8 pixels wide from x 754: its two ends drawn, its inside not.
    const int middle = 160 + (24 - 15) / 2 + 7;
    EXPECT_EQ(h.Pixel(754, middle), ColourMediumGreen);
    EXPECT_EQ(h.Pixel(754 + 7, middle), ColourMediumGreen);
    EXPECT_NE(h.Pixel(754 + 3, middle), ColourMediumGreen);

    h.PressKey(SDLK_TAB);
    ASSERT_EQ(WatchRow, 0);
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenHiScores);
    EXPECT_FALSE(Watching);
    EXPECT_EQ(CurrentNotice(), ReplayOtherBuildNotice);
    h.Step();
    if (const char* folder = std::getenv("VANTORIX_SHOTS"))
        h.SaveScreenshot(std::string(folder) + "/table_earlier.bmp");
    ReplayReadResult still = LoadReplayFile(kept);
    EXPECT_EQ(still.Kind, ReplayReadError::OtherFormat);
    EXPECT_EQ(std::filesystem::file_size(kept), earlier.size()) << "left as it was";
}

// A replay that cannot be written is told like a score that cannot be saved, and the game goes on to
// its end as usual.
TEST(TableReplays, AReplayThatCannotBeWrittenIsToldAndTheGameGoesOn) {
    Harness h;
    GoToMainMenu(h);
    std::ofstream(h.Folder() / ReplayFolder) << "a file where the folder would be";
    h.Form().StartGame();
    FlyAndGiveUp(h, 600); // past the stage caption, into play
    EXPECT_TRUE(ScreenState == ScreenMainMenu || ScreenState == ScreenNameEntry) << ScreenState;
    EXPECT_EQ(CurrentNotice(), ReplayNotSavedNotice);
    EXPECT_TRUE(FinishedGameReplay) << "the replay is still there to be sent";
}
