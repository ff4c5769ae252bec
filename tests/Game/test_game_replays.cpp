// A game is a function of its seed and of its frames' controls: played again from the same seed with the
// same controls it passes through the same states, whatever its clock read at the start and whether or
// how its pictures were drawn; one control changed in one frame sets it apart.
#include "GameFixture.h"

#include "Game/GameSnapshot.h"
#include "Game/TBonus.h"
#include "Game/TEnemyEngine.h"
#include "Game/TMyShip.h"

#include <algorithm>
#include <span>
#include <vector>

namespace {

constexpr uint32_t CheckEvery = 600;

// A pilot that weaves across the field with the gun held and fires the special weapon now and then.
std::vector<GameFrameInput> ScriptedFrames(int count) {
    std::vector<GameFrameInput> frames;
    for (int i = 0; i < count; ++i) {
        uint8_t controls = ControlFire | ((i / 90) % 2 ? ControlLeft : ControlRight);
        if (i % 1000 == 999) controls |= ControlSpecial;
        if ((i / 400) % 3 == 1) controls |= ControlUp;
        frames.push_back({controls});
    }
    return frames;
}

class GameReplayTest : public GameFixture {
  protected:
    // The game's state after every 600th frame and after the last; each frame is drawn on `canvas`
    // (half-way between frames) when there is one.
    std::vector<uint64_t> Play(const std::vector<GameFrameInput>& frames, Surface* canvas,
                               uint32_t startTick = 0) {
        TGame played(seed, startTick);
        std::vector<uint64_t> checks;
        for (size_t i = 0; i < frames.size(); ++i) {
            played.Step(frames[i]);
            if (canvas) played.Draw(*canvas, 0.5f);
            if ((i + 1) % CheckEvery == 0 || i + 1 == frames.size()) checks.push_back(GameStateHash(played));
        }
        finalScore = played.Score;
        return checks;
    }

    int32_t finalScore = 0;
};

} // namespace

TEST_F(GameReplayTest, TheSameSeedAndFramesGiveTheSameGameWhateverWasDrawn) {
    const std::vector<GameFrameInput> frames = ScriptedFrames(12000);
    const std::vector<uint64_t> first = Play(frames, target.get());
    EXPECT_GT(finalScore, 0) << "the pilot met the opposition";
    // Nothing outside the game's inputs counts: not the clock, the keys, the mouse, nor the picture.
    AdvanceTestClock(777777);
    SetTestKeyHeld(ScanSpace, true);
    AccumulateMouseMotion(5, -3, 0);
    const auto otherCanvas = Surface::Create(800, 600);
    otherCanvas->Fill(Rgb(200, 30, 90));
    EXPECT_EQ(Play(frames, otherCanvas.get()), first);
    EXPECT_EQ(Play(frames, nullptr), first) << "a game never drawn";
    ClearTestInput();
}

// Only differences of ticks count: the same game from another start tick, one where the clock wraps
// during the game included, passes through the same states.
TEST_F(GameReplayTest, TheStartTickChangesNothing) {
    const std::vector<GameFrameInput> frames = ScriptedFrames(6000);
    const std::vector<uint64_t> fromZero = Play(frames, nullptr, 0);
    for (const uint32_t start : {0x8000'0000u, 0xFFFF'FFFFu - 999u}) {
        SCOPED_TRACE(start);
        EXPECT_EQ(Play(frames, nullptr, start), fromZero);
    }
}

TEST_F(GameReplayTest, OneChangedControlInOneFrameSetsTheGameApartFromThere) {
    std::vector<GameFrameInput> frames = ScriptedFrames(3000);
    const std::vector<uint64_t> played = Play(frames, nullptr);
    frames[1000].Controls ^= ControlLeft | ControlRight; // one frame steers the other way
    const std::vector<uint64_t> changed = Play(frames, nullptr);
    ASSERT_EQ(changed.size(), played.size());
    EXPECT_EQ(changed[0], played[0]) << "the first check comes before the change";
    EXPECT_NE(changed[1], played[1]);
}

namespace {

// A long, busy game: the pilot weaves with the gun held and fires its special weapon now and then, and
// the test keeps the ship alive, crowds the field, lays each bonus kind in its path in turn and shortens
// the stages so the game reaches the first boss. Every change the test makes depends only on
// the game's state and frame, so a game restored from a snapshot gets the same ones.
class BusyGame {
  public:
    static constexpr uint32_t Frames = 18000;
    static constexpr size_t LaidSlot = GameSlotCount - 1;

    void Frame(TGame& game, uint32_t frame) {
        if (game.Phase == GamePhase::Play) Arrange(game, frame);
        game.Energy = std::max<int16_t>(game.Energy, 60);
        game.Lives = std::max<int16_t>(game.Lives, 3);
        const bool bombWasReady = game.Ship->MegaBombReady;
        const GamePhase phase = game.Phase;
        uint8_t controls = ControlFire | ((frame / 90) % 2 ? ControlLeft : ControlRight);
        if ((frame / 400) % 3 == 1) controls |= ControlUp;
        if (frame % 350 == 349 || frame % CheckEvery == 560 || frame % CheckEvery == 10)
            controls |= ControlSpecial;
        game.Step({controls});
        bombsFired += bombWasReady && !game.Ship->MegaBombReady;
        if (game.Engine->Boss) bossSeen = true;
        // The laid bonus gone in a frame of play was taken; one gone with the end of the play was not.
        if (pending != 0 && !game.Bonuses[LaidSlot]) {
            if (phase == GamePhase::Play && game.Phase == GamePhase::Play) bonusesTaken |= pending;
            pending = 0;
        }
    }

    int bombsFired = 0;
    bool bossSeen = false;
    uint32_t bonusesTaken = 0; // a bit per bonus kind

  private:
    void Arrange(TGame& game, uint32_t frame) {
        // Each bonus kind in turn, laid just above the ship so it falls onto it a few frames later
        // (so the checks find it on its way).
        if (frame % 300 == 290 && !game.Bonuses[LaidSlot]) {
            const auto kind = static_cast<uint8_t>((frame / 300) % BonusKindCount);
            auto bonus =
                std::make_unique<TBonus>(game, LaidSlot, game.Ship->X,
                                         static_cast<int16_t>(game.Ship->Y - BonusKindOf(kind).height - 36));
            bonus->Kind = kind;
            game.Bonuses[LaidSlot] = std::move(bonus);
            pending = 1u << kind;
        }
        // A Mega-skull fired 40 frames before each check and another tried 10 frames after it, while the
        // special weapon still charges: the checks find it charging.
        if (frame % CheckEvery == 559 || frame % CheckEvery == 5) game.Ship->MegaSkullReady = true;
        // A crowded field: asteroids and groups come more often than the engine's own draws send them.
        // Half-way between two checks, so the checks find them in flight.
        if (frame % 150 == 75) game.Engine->SpawnAsteroid();
        if (frame % 400 == 100 && game.Engine->LiveShips() < 12) game.Engine->SpawnGroup();
        // Stages of some fifteen seconds: the distance jumps towards the stage's end now and then.
        const uint32_t end = (game.StageNumber + 1) * StageDistanceStep;
        if (frame % 2500 == 0 && game.StageInLevel < 3 && game.Distance + 600 < end)
            game.Distance = end - 600;
    }

    uint32_t pending = 0;
};

} // namespace

// The snapshot holds the whole game: restored at every 600th frame into a game that was in the middle
// of another play (so no forgotten field can keep a fresh game's value by luck), the game plays on to
// exactly the same states and end as the game that was never interrupted.
TEST_F(GameReplayTest, ASnapshotRestoredIntoAnotherGameInMidPlayPlaysOnAlike) {
    BusyGame uninterrupted;
    TGame played(seed);
    std::vector<uint64_t> hashes;
    std::vector<std::vector<uint8_t>> snapshots;
    for (uint32_t frame = 0; frame < BusyGame::Frames; ++frame) {
        if (frame % CheckEvery == 0) snapshots.push_back(SaveGameSnapshot(played));
        uninterrupted.Frame(played, frame);
        hashes.push_back(GameStateHash(played));
    }
    EXPECT_TRUE(uninterrupted.bossSeen) << "the game reaches a boss";
    EXPECT_GT(uninterrupted.bombsFired, 0) << "the mega-bomb is fired";
    EXPECT_EQ(uninterrupted.bonusesTaken, (1u << BonusKindCount) - 1) << "every bonus kind is taken";
    EXPECT_FALSE(played.Finished);

    for (size_t taken = 1; taken < snapshots.size(); ++taken) {
        const uint32_t from = static_cast<uint32_t>(taken * CheckEvery);
        SCOPED_TRACE(testing::Message() << "restored at frame " << from);
        // Another game, from another seed and another start tick, well into its own play.
        TGame other(seed + static_cast<uint32_t>(taken), 0x8000'0000u + 977u * static_cast<uint32_t>(taken));
        BusyGame otherPilot;
        for (uint32_t frame = 0; frame < 1500 + 97 * taken; ++frame)
            otherPilot.Frame(other, frame);
        ASSERT_TRUE(RestoreGameSnapshot(other, snapshots[taken]));
        ASSERT_EQ(GameStateHash(other), hashes[from - 1]);
        BusyGame pilot = uninterrupted; // the same arrangements from here on
        int differing = 0;
        for (uint32_t frame = from; frame < BusyGame::Frames; ++frame) {
            pilot.Frame(other, frame);
            differing += GameStateHash(other) != hashes[frame];
        }
        EXPECT_EQ(differing, 0);
        EXPECT_EQ(other.Score, played.Score);
    }
}

TEST_F(GameReplayTest, ASnapshotCutShortIsRefused) {
    TGame played(seed);
    for (const GameFrameInput& input : ScriptedFrames(3000))
        played.Step(input);
    std::vector<uint8_t> bytes = SaveGameSnapshot(played);
    EXPECT_EQ(SaveGameSnapshot(played), bytes) << "the same game, the same bytes";
    TGame other(seed + 1);
    EXPECT_FALSE(RestoreGameSnapshot(other, std::span(bytes).first(bytes.size() - 1)));
    bytes.push_back(0);
    EXPECT_FALSE(RestoreGameSnapshot(other, bytes)) << "bytes left over";
}
