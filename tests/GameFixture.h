// A running game from a seed, with a back buffer to draw on; tests step its frames one by one.
#pragma once

#include "Game/TGame.h"
#include "core/Random.h"
#include "platform/Clock.h"
#include "platform/Input.h"
#include "platform/Surface.h"

#include <gtest/gtest.h>

#include <memory>

class GameFixture : public testing::Test {
  protected:
    void SetUp() override {
        UseTestClock(100000);
        ResetPlatformState();
        NewGame();
        target = Surface::Create(800, 600);
    }
    void TearDown() override {
        game.reset();
        ResetPlatformState();
        UseSystemClock();
    }

    // A fresh game in place of the fixture's game, from the fixture's seed; the game's objects are given
    // it, never the shell's.
    void NewGame() { game = std::make_unique<TGame>(seed); }
    TGame& Game() { return *game; }
    // The game's clock moves on by `ms` without a frame, and the game takes the controls held (the
    // tests' keys and mouse): for tests that step one object at a time. The game's frames go on from
    // the new time (its start moves with it).
    void AdvanceGameClock(uint32_t ms) {
        AdvanceTestClock(ms);
        Game().StartTick += ms;
        Game().FrameTick += ms;
        Game().Controls = LiveFrameInput().Controls;
    }
    // Runs `count` game frames with the controls held, then draws the picture as the last one left it.
    void Frames(int count) {
        for (int i = 0; i < count; ++i)
            Game().Step(LiveFrameInput());
        Game().Draw(*target, 1);
    }
    // Runs as many game frames as make `ms` of game time, rounded up to whole frames.
    void FramesFor(uint32_t ms) { Frames(static_cast<int>((ms + GameFrameMs - 1) / GameFrameMs)); }
    // Skips the first restart and the caption: the game is in play from here.
    void StartPlaying() {
        Frames(1);
        FramesFor(2001);
        ASSERT_EQ(Game().Phase, GamePhase::Play);
    }

    uint32_t seed = 7;
    std::unique_ptr<TGame> game;
    std::unique_ptr<Surface> target;
};
