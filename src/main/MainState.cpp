#include "main/MainState.h"

#include "Game/TGame.h"
#include "audio/Audio.h"
#include "core/CoreState.h"
#include "graphics/GraphicsState.h"
#include "main/MenuWidgets.h"
#include "main/Notice.h"
#include "online/OnlineState.h"
#include "persistence/PersistenceState.h"
#include "platform/PlatformState.h"

std::unique_ptr<TGame> CurrentGame;

void ResetMainState() {
    CurrentGame.reset();
    FirstStart = true;
    SkipMinimize = true;
    ExitConfirmed = false;
    AnimCounter = 0;
    DesktopWidth = DesktopHeight = 0;
    WindowModeForThisRun.reset();
    FreeMenuWidgets();
    ClearNotice();
}

void ResetProgramState() {
    ResetMainState();
    ShutdownAudio();
    ResetOnlineState();
    ResetGraphicsState();
    ResetPersistenceState();
    ResetPlatformState();
    ResetCoreState();
}
