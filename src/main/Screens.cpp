#include "main/Screens.h"
#include "graphics/PackRecords.h"

#include "core/ScreenState.h"
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"
#include "main/Form.h"
#include "main/MainState.h"
#include "main/ScreenDrawing.h"
#include "main/SendResult.h"

void RequestScreen(Screen screen) {
    RequestedScreen = screen;
}

void ApplyScreenChange() {
    if (!RequestedScreen) return;
    ScreenState = *RequestedScreen;
    RequestedScreen.reset();
}

void DrawMenuBackground(TForm1& form) {
    if (DrawDirect(InterfaceSprites[InterfaceRecord::MenuBackground], *form.BackBuffer, 0, 0, false) !=
        BlitOk)
        form.RestoreSurfaces();
}

namespace {

void StepShellScreen(Screen screen) {
    switch (screen) {
    case ScreenIntro:
        StepIntro();
        break;
    case ScreenHelpBonuses:
        StepBonusAnimation();
        break;
    case ScreenMainMenu:
    case ScreenOptions:
    case ScreenHiScores:
    case ScreenHelpOverview:
    case ScreenHelpControls:
    case ScreenHelpAbout:
    case ScreenExitQuestion:
    case ScreenClearQuestion:
    case ScreenKeyCapture:
    case ScreenPause:
    case ScreenNameEntry:
    case ScreenSendQuestion:
    case ScreenQuitQuestion:
    case ScreenRetryQuestion:
    case ScreenPleaseWait:
    case ScreenGame:
        break; // these change only on the player's input
    }
}

} // namespace

void DrawShellScreen(TForm1& form, Screen screen, uint32_t counter) {
    switch (screen) {
    case ScreenIntro:
        DrawIntro(form, counter);
        break;
    case ScreenMainMenu:
        DrawMainMenu(form);
        break;
    case ScreenOptions:
        DrawOptions(form);
        break;
    case ScreenHiScores:
        DrawHiScoreScreen(form);
        break;
    case ScreenHelpOverview:
    case ScreenHelpBonuses:
    case ScreenHelpControls:
    case ScreenHelpAbout:
        DrawHelpPage(form, screen, counter);
        break;
    case ScreenExitQuestion:
        DrawExitQuestion(form);
        break;
    case ScreenClearQuestion:
        DrawClearQuestion(form);
        break;
    case ScreenKeyCapture:
        DrawKeyCapture(form);
        break;
    case ScreenPause:
        DrawPause(form);
        break;
    case ScreenNameEntry:
        DrawNameEntry(form);
        break;
    case ScreenSendQuestion:
        DrawSendQuestion(form);
        break;
    case ScreenQuitQuestion:
        DrawQuitQuestion(form);
        break;
    case ScreenRetryQuestion:
        DrawRetryQuestion(form);
        break;
    case ScreenPleaseWait:
        FollowScoreSending();
        DrawWaitingNotice(form);
        break;
    case ScreenGame:
        break; // the running game draws itself
    }
}

void RunShellScreen(TForm1& form) {
    const Screen screen = ScreenState;
    const uint32_t counter = AnimCounter;
    StepShellScreen(screen);
    DrawShellScreen(form, screen, counter);
}
