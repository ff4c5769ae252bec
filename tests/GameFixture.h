// A running game on the test clock and a seeded generator, with a back buffer to draw on.
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
        Randomize(seed);
        ResetPlatformState();
        NewGame();
        target = Surface::Create(800, 600);
    }
    void TearDown() override {
        game.reset();
        ResetPlatformState();
        UseSystemClock();
    }

    // A fresh game in place of the fixture's game; the game's objects are given it, never the shell's.
    void NewGame() { game = std::make_unique<TGame>(GetTickCount()); }
    TGame& Game() { return *game; }
    // The test clock moves on and the game takes its frame input as the shell gives it: the clock now
    // and the controls held (the tests' keys and mouse); for tests that update one object at a time.
    void AdvanceGameClock(uint32_t ms) {
        AdvanceTestClock(ms);
        const GameFrameInput input = LiveFrameInput();
        Game().FrameTick = input.Tick;
        Game().Controls = input.Controls;
    }
    // Runs `count` game frames, `ms` apart.
    void Frames(int count, uint32_t ms = 10) {
        for (int i = 0; i < count; ++i) {
            AdvanceTestClock(ms);
            Game().RunFrame(LiveFrameInput(), *target);
        }
    }
    // Skips the first restart and the caption: the game is in play from here.
    void StartPlaying() {
        Frames(1);
        AdvanceTestClock(2001);
        Game().RunFrame(LiveFrameInput(), *target);
        ASSERT_EQ(Game().Phase, GamePhase::Play);
    }

    uint32_t seed = 7;
    std::unique_ptr<TGame> game;
    std::unique_ptr<Surface> target;
};
