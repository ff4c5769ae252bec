// The program is a state machine on one integer: every screen is a value of ScreenState.
#pragma once

#include "core/CoreState.h"

#include <cstdint>

enum Screen : int32_t {
    ScreenIntro = 0,
    ScreenMainMenu = 1,
    ScreenGame = 2,
    ScreenOptions = 3,
    ScreenHiScores = 4,
    ScreenHelpOverview = 5,
    ScreenExitQuestion = 7,
    ScreenClearQuestion = 8,
    ScreenKeyCapture = 31,
    ScreenControls = 32,
    ScreenPause = 33,
    ScreenNameEntry = 34,
    ScreenSendQuestion = 35,
    ScreenQuitQuestion = 36,
    ScreenRetryQuestion = 38,
    ScreenPleaseWait = 39,
    ScreenReplay = 40, // a recorded game watched again
    ScreenHelpBonuses = 51,
    ScreenHelpControls = 52,
    ScreenHelpAbout = 53,
};

// A 32-bit integer in memory, like the program's screen number has always been.
static_assert(sizeof(Screen) == sizeof(int32_t));
