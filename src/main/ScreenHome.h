// One home per screen: everything one screen of the shell does, gathered in one value, and the one
// switch over `Screen` that finds it. A screen's home is its own file (IntroScreen.cpp,
// OptionsScreen.cpp, ...); the form only asks the current screen's home.
#pragma once

#include "core/PadButton.h"
#include "core/ScreenState.h"

#include <cstdint>

class TForm1;
struct Canvas;

// How the pad's buttons speak the key table on a screen (see PadKeys.h).
enum class PadKeys : uint8_t { None, Game, Pause, Menu };

struct ScreenHome {
    // The screen's change with time, once a frame before its drawing; null when only input changes it.
    void (*step)();
    // Draws the screen as the frame found it (`counter` is the animation counter before the step);
    // changes nothing; false when a blit failed and the surfaces must be restored. Null for
    // the running game, which draws itself.
    bool (*draw)(const Canvas& canvas, uint32_t counter);
    // A key pressed on the screen.
    void (*key)(TForm1& form, uint16_t key);
    // A pad button the screen takes itself before the pad speaks keys; true when it did. May be null.
    bool (*pad)(TForm1& form, PadButton button);
    PadKeys padKeys;
    // The item under the pointer is chosen before a click acts; null when there is nothing to point at.
    void (*pointAt)();
    // What the chosen item does (a click, Enter or Space); null when the screen has no items.
    void (*act)(TForm1& form);
    // The window's close button asks the exit question here; false: it is refused.
    bool closeAsksExit;
    // The game's tune plays on this screen rather than the menus'.
    bool gameTune;
    // A key the screen takes by its place on the keyboard (its scan code) before its virtual key is
    // looked at; true when it did. Null on the screens whose keys are the menus' fixed ones.
    bool (*keyAtPlace)(TForm1& form, uint8_t scanCode) = nullptr;
};

extern const ScreenHome IntroHome;
extern const ScreenHome MainMenuHome;
extern const ScreenHome GameHome;
extern const ScreenHome PauseHome;
extern const ScreenHome OptionsHome;
extern const ScreenHome KeyCaptureHome;
extern const ScreenHome ControlsHome;
extern const ScreenHome HiScoresHome;
extern const ScreenHome HelpOverviewHome;
extern const ScreenHome HelpBonusesHome;
extern const ScreenHome HelpControlsHome;
extern const ScreenHome HelpAboutHome;
extern const ScreenHome ExitQuestionHome;
extern const ScreenHome ClearQuestionHome;
extern const ScreenHome NameEntryHome;
extern const ScreenHome SendQuestionHome;
extern const ScreenHome RetryQuestionHome;
extern const ScreenHome QuitQuestionHome;
extern const ScreenHome PleaseWaitHome;
extern const ScreenHome ReplayHome;

const ScreenHome& HomeOf(Screen screen);
