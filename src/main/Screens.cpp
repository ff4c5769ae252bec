#include "main/Screens.h"

#include "main/MainState.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"

const ScreenHome& HomeOf(Screen screen) {
    switch (screen) {
    case ScreenIntro:
        return IntroHome;
    case ScreenMainMenu:
        return MainMenuHome;
    case ScreenGame:
        return GameHome;
    case ScreenOptions:
        return OptionsHome;
    case ScreenHiScores:
        return HiScoresHome;
    case ScreenHelpOverview:
        return HelpOverviewHome;
    case ScreenHelpBonuses:
        return HelpBonusesHome;
    case ScreenHelpControls:
        return HelpControlsHome;
    case ScreenHelpAbout:
        return HelpAboutHome;
    case ScreenExitQuestion:
        return ExitQuestionHome;
    case ScreenClearQuestion:
        return ClearQuestionHome;
    case ScreenKeyCapture:
        return KeyCaptureHome;
    case ScreenControls:
        return ControlsHome;
    case ScreenPause:
        return PauseHome;
    case ScreenNameEntry:
        return NameEntryHome;
    case ScreenSendQuestion:
        return SendQuestionHome;
    case ScreenQuitQuestion:
        return QuitQuestionHome;
    case ScreenRetryQuestion:
        return RetryQuestionHome;
    case ScreenPleaseWait:
        return PleaseWaitHome;
    case ScreenReplay:
        return ReplayHome;
    }
    return MainMenuHome; // every screen is a case above
}

void RequestScreen(Screen screen) {
    RequestedScreen = screen;
}

void ApplyScreenChange() {
    if (!RequestedScreen) return;
    ScreenState = *RequestedScreen;
    RequestedScreen.reset();
}

bool DrawShellScreen(const Canvas& canvas, Screen screen, uint32_t counter) {
    const ScreenHome& home = HomeOf(screen);
    return !home.draw || home.draw(canvas, counter);
}

void StepShellScreen() {
    if (const auto step = HomeOf(ScreenState).step) step();
}
