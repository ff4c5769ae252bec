// Drives the shell as a player would, for the shell's tests and the picture and recording tools:
// into the main menu, onto the name entry, and through a game with a scripted pilot.
#pragma once

#include "Harness.h"

#include "Game/TGame.h"
#include "core/ScreenState.h"
#include "platform/Input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>

inline void GoToMainMenu(Harness& h) {
    h.Click(1, 1); // skips the intro
    h.Step();
    ASSERT_EQ(ScreenState, ScreenMainMenu);
}

// A finished game with a score that enters the table, on the name entry.
inline void OpenNameEntry(Harness& h, int32_t score) {
    h.Form().StartGame();
    CurrentGame->Score = score;
    ScreenState = ScreenNameEntry;
    h.Step();
}

// Flies the running game with the keys alone, as a player would (nothing of the game is touched),
// then gives up through the quit question and waits for the game to end.
inline void FlyAndGiveUp(
    Harness& h, int frames, const std::function<void()>& afterStep = [] {}) {
    for (int frame = 0; frame < frames && ScreenState == ScreenGame; ++frame) {
        const bool left = (frame / 70) % 2 == 0;
        SetTestKeyHeld(ScanLeftCtrl, true);
        SetTestKeyHeld(ScanLeft, left);
        SetTestKeyHeld(ScanRight, !left);
        SetTestKeyHeld(ScanUp, (frame / 300) % 3 == 1);
        SetTestKeyHeld(ScanSpace, frame % 700 == 350);
        h.Step(1, 6);
        afterStep();
    }
    for (const uint16_t scan : {ScanLeftCtrl, ScanLeft, ScanRight, ScanUp, ScanSpace})
        SetTestKeyHeld(scan, false);
    if (ScreenState != ScreenGame) return;
    h.PressKey(SDLK_ESCAPE);
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN);
    ASSERT_EQ(ScreenState, ScreenGame) << "the quit question's Yes goes back to the game's end";
    for (int i = 0; i < 2000 && ScreenState == ScreenGame; ++i) {
        h.Step(1, 6);
        afterStep();
    }
    ASSERT_NE(ScreenState, ScreenGame);
}

// Plays a seeded game through the real shell with a scripted pilot: fire held, weaving left and right.
// The test keeps the ship alive by topping up its energy and lives.
class ScriptedPilot {
  public:
    explicit ScriptedPilot(Harness& harness) : h(harness) {}

    void Fly(int frames) {
        for (int i = 0; i < frames && ScreenState == ScreenGame; ++i, ++frame) {
            const bool left = (frame / 90) % 2 == 0;
            SetTestKeyHeld(ScanLeftCtrl, !holdFire);
            SetTestKeyHeld(ScanLeft, left);
            SetTestKeyHeld(ScanRight, !left);
            SetTestKeyHeld(ScanUp, !stayLow && (frame / 240) % 3 == 0);
            SetTestKeyHeld(ScanDown, stayLow || (frame / 240) % 3 == 2);
            SetTestKeyHeld(ScanSpace, !holdFire && frame % 500 == 0);
            h.Step(1, 6);
            if (CurrentGame) {
                CurrentGame->Energy = std::max<int16_t>(CurrentGame->Energy, 60);
                CurrentGame->Lives = std::max<int16_t>(CurrentGame->Lives, 3);
            }
        }
    }
    int Frame() const { return frame; }
    // Keeps to the bottom of the field (out of a boss's reach for most of its drift).
    bool stayLow = false;
    // Flies without firing (lets a boss live long enough to show its weapons).
    bool holdFire = false;

  private:
    Harness& h;
    int frame = 0;
};
