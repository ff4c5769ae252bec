#include "main/MainState.h"

#include "Game/GameState.h"
#include "audio/Audio.h"
#include "core/CoreState.h"
#include "graphics/GraphicsState.h"
#include "main/MenuWidgets.h"
#include "main/Notice.h"
#include "online/OnlineState.h"
#include "persistence/PersistenceState.h"
#include "platform/PlatformState.h"

void ResetMainState() {
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
    ResetGameState();
    ShutdownAudio();
    ResetOnlineState();
    ResetGraphicsState();
    ResetPersistenceState();
    ResetPlatformState();
    ResetCoreState();
}
