// A game is a function of where it started (the generator's state and the clock) and of its frames'
// inputs: played again from the same start with the same inputs it passes through the same states,
// whatever the picture it is drawn on held; one control changed in one frame sets it apart.
#include "GameFixture.h"

#include "Game/GameStateHash.h"
#include "core/CoreState.h"
#include "core/Random.h"

#include <vector>

namespace {

constexpr uint32_t CheckEvery = 600;

// A pilot that weaves across the field with the gun held and fires the special weapon now and then,
// its frames 5 or 6 ms apart as the frame gate lets them come.
std::vector<GameFrameInput> ScriptedFrames(uint32_t startTick, int count) {
    std::vector<GameFrameInput> frames;
    uint32_t tick = startTick;
    for (int i = 0; i < count; ++i) {
        tick += i % 3 == 0 ? 5 : 6;
        uint8_t controls = ControlFire | ((i / 90) % 2 ? ControlLeft : ControlRight);
        if (i % 1000 == 999) controls |= ControlSpecial;
        if ((i / 400) % 3 == 1) controls |= ControlUp;
        frames.push_back({tick, controls});
    }
    return frames;
}

class GameReplayTest : public GameFixture {
  protected:
    // The game's state after every 600th frame and after the last.
    std::vector<uint64_t> Play(const std::vector<GameFrameInput>& frames, Surface& canvas) {
        Randomize(seed);
        TGame played(startTick);
        std::vector<uint64_t> checks;
        for (size_t i = 0; i < frames.size(); ++i) {
            played.RunFrame(frames[i], canvas);
            if ((i + 1) % CheckEvery == 0 || i + 1 == frames.size()) checks.push_back(GameStateHash(played));
        }
        finalScore = played.Score;
        return checks;
    }

    uint32_t startTick = 0xFFFF0000; // the clock wraps during the game
    int32_t finalScore = 0;
};

} // namespace

TEST_F(GameReplayTest, TheSameStartAndFramesGiveTheSameGameWhateverThePictureHeld) {
    const std::vector<GameFrameInput> frames = ScriptedFrames(startTick, 12000);
    const std::vector<uint64_t> first = Play(frames, *target);
    EXPECT_GT(finalScore, 0) << "the pilot met the opposition";
    // Nothing outside the game's inputs counts: not the clock, the keys, the mouse, nor the picture.
    AdvanceTestClock(777777);
    SetTestKeyHeld(ScanSpace, true);
    AccumulateMouseMotion(5, -3, 0);
    const auto otherCanvas = Surface::Create(800, 600);
    otherCanvas->Fill(Rgb(200, 30, 90));
    EXPECT_EQ(Play(frames, *otherCanvas), first);
}

TEST_F(GameReplayTest, OneChangedControlInOneFrameSetsTheGameApartFromThere) {
    std::vector<GameFrameInput> frames = ScriptedFrames(startTick, 3000);
    const std::vector<uint64_t> played = Play(frames, *target);
    frames[1000].Controls ^= ControlLeft | ControlRight; // one frame steers the other way
    const std::vector<uint64_t> changed = Play(frames, *target);
    ASSERT_EQ(changed.size(), played.size());
    EXPECT_EQ(changed[0], played[0]) << "the first check comes before the change";
    EXPECT_NE(changed[1], played[1]);
}
