// The program-wide values of the shell, declared here and nowhere else, their reset, and the reset of
// the whole program's values folder by folder.
#pragma once

#include "core/ScreenState.h"
#include "main/ControlsScreen.h"
#include "persistence/HiScores.h"
#include "replay/ReplayRecorder.h"
#include "replay/ReplayShelf.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class TDDBtnCollection;
class TDDOptBtnCollection;
class TDDTextBtnCollection;
class TDDEdit;
struct TGame;
struct WatchedReplay;
class Surface;

// The next FormCreate is the program's first; a later one only rebuilds the display.
extern bool FirstStart;
// The next deactivation in full screen does not minimise.
extern bool SkipMinimize;
// The exit question was answered Yes: the close query lets the window close.
extern bool ExitConfirmed;
// The screen asked for by the input or frame being handled; ApplyScreenChange moves there once the
// handler or frame is over (see Screens.h).
extern std::optional<Screen> RequestedScreen;
// The waiting notice shows for one frame only, on the way to the table (the send question's "No").
extern bool WaitingNoticeOnly;
// Frame counter of the intro and of the animated help pictures.
extern uint32_t AnimCounter;
// The desktop's size at start-up.
extern uint16_t DesktopWidth;
extern uint16_t DesktopHeight;
// The window mode asked for on the command line, for this run only.
extern std::optional<bool> WindowModeForThisRun;

// The running game, or empty outside a game. The game's objects never reach it: each is given its game.
extern std::unique_ptr<TGame> CurrentGame;
// The quit question was answered "Yes": the game's next frame tells it the player gave up.
extern bool PlayerGaveUp;
// The running game's recording, and the last finished game as a replay (see GameRecording.h).
extern ReplayRecorder GameRecorder;
extern std::optional<Replay> FinishedGameReplay;
// The high-score screen's rows that have a replay (read again whenever the table changes), and the row
// chosen to watch: -1 while the screen's buttons have the focus.
struct TableReplays {
    std::array<TableReplayFile, HiScoreCount> files;
    std::array<THiScores, HiScoreCount> table;
    bool read = false;
};
extern TableReplays HiScoreReplays;
extern int WatchRow;
// The replay being watched, or empty (see Watching.h).
extern std::unique_ptr<WatchedReplay> Watching;

// The menu widgets of the screens (see MenuWidgets.h).
extern std::unique_ptr<TDDBtnCollection> MainMenu;
extern std::unique_ptr<TDDBtnCollection> HiScoreButtons;
extern std::unique_ptr<TDDBtnCollection> PageButtons;
extern std::unique_ptr<TDDOptBtnCollection> OptionsMenu;
extern std::unique_ptr<TDDTextBtnCollection> YesNoQuestion;
extern std::unique_ptr<TDDTextBtnCollection> OkCancelQuestion;
extern std::unique_ptr<TDDEdit> HiScoreNameEdit;
// Frees the widgets (at the end, and with the shell's reset).
void FreeMenuWidgets();

// The high-score screen but its selection highlight (which stays left of the table) is kept as a
// picture while the table and the sprite store stay the same: forty cells of text cost more than the
// rest of the frame together.
struct HiScoreStill {
    std::unique_ptr<Surface> picture;
    std::array<THiScores, HiScoreCount> table;
    uint32_t storeGeneration = 0;
};
extern HiScoreStill KeptHiScores;
// Counts sprite-store reloads, so a kept picture of an older store is never shown.
extern uint32_t StoreGeneration;

// Where the controls screen stands (see ControlsScreen.h).
extern ControlsCursor ControlsScreenCursor;

// Back to the shell's values at program start.
void ResetMainState();
// Every program-wide value of every folder back to program start, as before a first FormCreate.
void ResetProgramState();
