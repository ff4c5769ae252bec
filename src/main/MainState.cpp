#include "main/MainState.h"

#include "DXCtrl/DXCtrlState.h"
#include "DXCtrl/TDDBtnCollection.h"
#include "DXCtrl/TDDEdit.h"
#include "DXCtrl/TDDOptBtnCollection.h"
#include "DXCtrl/TDDTextBtnCollection.h"
#include "Game/TGame.h"
#include "audio/Audio.h"
#include "core/CoreState.h"
#include "graphics/GraphicsState.h"
#include "main/Notice.h"
#include "main/Watching.h"
#include "online/OnlineState.h"
#include "persistence/PersistenceState.h"
#include "platform/PlatformState.h"
#include "platform/Surface.h"

std::unique_ptr<TGame> CurrentGame;
bool PlayerGaveUp = false;
ReplayRecorder GameRecorder;
std::optional<Replay> FinishedGameReplay;
std::unique_ptr<WatchedReplay> Watching;
TableReplays HiScoreReplays;
int WatchRow = -1;
HiScoreStill KeptHiScores;
ControlsCursor ControlsScreenCursor;
uint32_t StoreGeneration = 1;

void FreeMenuWidgets() {
    MainMenu.reset();
    HiScoreButtons.reset();
    PageButtons.reset();
    OptionsMenu.reset();
    YesNoQuestion.reset();
    OkCancelQuestion.reset();
    HiScoreNameEdit.reset();
}

void ResetMainState() {
    CurrentGame.reset();
    PlayerGaveUp = false;
    GameRecorder.Stop();
    FinishedGameReplay.reset();
    Watching.reset();
    HiScoreReplays = TableReplays{};
    WatchRow = -1;
    KeptHiScores = HiScoreStill{};
    StoreGeneration = 1;
    FirstStart = true;
    SkipMinimize = true;
    ExitConfirmed = false;
    RequestedScreen.reset();
    WaitingNoticeOnly = false;
    AnimCounter = 0;
    DesktopWidth = DesktopHeight = 0;
    WindowModeForThisRun.reset();
    FreeMenuWidgets();
    ResetControlsCursor();
    ClearNotice();
}

void ResetProgramState() {
    ResetMainState();
    ShutdownAudio();
    ResetDXCtrlState();
    ResetOnlineState();
    ResetGraphicsState();
    ResetPersistenceState();
    ResetPlatformState();
    ResetCoreState();
}
