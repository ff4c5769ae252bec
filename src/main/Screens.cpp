#include "main/Screens.h"
#include "graphics/PackRecords.h"

#include "core/ScreenState.h"
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"
#include "main/Form.h"
#include "main/ScreenDrawing.h"

void DrawMenuBackground(TForm1& form) {
    if (DrawDirect(InterfaceSprites[InterfaceRecord::MenuBackground], *form.BackBuffer, 0, 0, false) !=
        BlitOk)
        form.RestoreSurfaces();
}

void DrawShellScreen(TForm1& form) {
    switch (ScreenState) {
    case ScreenIntro:
        DrawIntro(form);
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
        DrawHelpPage(form, ScreenState);
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
        DrawWaitingNotice(form);
        break;
    case ScreenGame:
        break; // the running game draws itself
    }
}
