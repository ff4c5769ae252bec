// The small panels over a frozen picture: the exit, clear-table, quit, send and retry questions, the
// pause, the name entry and the waiting notice.
#include "Game/TGame.h"
#include "core/ScreenState.h"
#include "graphics/Blit.h"
#include "graphics/PackRecords.h"
#include "graphics/SpriteStore.h"
#include "graphics/Text.h"
#include "main/Form.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/Screens.h"
#include "platform/Clock.h"

#include <string>

namespace {

struct PanelText {
    int x;
    int y;
    std::string text;
};

const PanelText ExitGame{300, 260, "Exit game?"};
const PanelText ClearLine1{260, 250, "Do you want to clear"};
const PanelText ClearLine2{260, 278, "the High Score Table?"};
const PanelText PauseText{350, 300, "Pause"};
const PanelText EnterName{250, 254, "Please enter your name"};
const PanelText SendLine1{254, 252, "Send the result to"};
const PanelText SendLine2{216, 282, "world's highscores page"};
const PanelText RetryLine1{254, 252, "Can not connect to"};
const PanelText RetryLine2{290, 282, "server! Repeat?"};
const PanelText PleaseWait{290, 282, "Please wait..."};
const PanelText WaitWayOut{326, 334, "Esc: stop waiting"};
constexpr int ScoreLineX = 290;
constexpr int ScoreLineY = 232;

void DrawText(TForm1& form, const PanelText& line, int height, int width, uint32_t colour) {
    DrawTitleText(line.x, line.y, height, width, line.text, *form.BackBuffer, colour);
}

// The frozen picture under the panel; false when the blit failed.
bool DrawSavedScreen(TForm1& form) {
    return form.BackBuffer->BlitWhole(*form.SavedScreen, 0, 0, false) == BlitOk;
}

void DrawPanel(TForm1& form, int x) {
    DrawDirect(InterfaceSprites[InterfaceRecord::QuestionPanel], *form.BackBuffer, x, 200, false);
}

// "Your score is " and the score; the string keeps its buffer, so no frame allocates.
const std::string& ScoreLine(int32_t score) {
    static std::string line;
    line.assign("Your score is ");
    line += std::to_string(score);
    return line;
}

} // namespace

void DrawExitQuestion(TForm1& form) {
    // The menu picture, not the frozen one, lies under this panel.
    DrawMenuBackground(form);
    DrawPanel(form, 190);
    DrawDirect(InterfaceSprites[InterfaceRecord::Logo], *form.BackBuffer, 0, 0, true);
    DrawText(form, ExitGame, 46, 20, ColourDimGreen);
    YesNoQuestion->Draw(*form.BackBuffer);
}

void DrawClearQuestion(TForm1& form) {
    DrawSavedScreen(form);
    DrawPanel(form, 210);
    DrawDirect(InterfaceSprites[InterfaceRecord::Logo], *form.BackBuffer, 0, 0, true);
    DrawText(form, ClearLine1, 26, 14, ColourDimGreen);
    DrawText(form, ClearLine2, 26, 14, ColourDimGreen);
    OkCancelQuestion->Draw(*form.BackBuffer);
}

void DrawPause(TForm1& form) {
    if (!DrawSavedScreen(form)) form.RestoreSurfaces();
    DrawText(form, PauseText, 32, 20, ColourDimGreen);
}

void DrawNameEntry(TForm1& form) {
    DrawSavedScreen(form);
    DrawPanel(form, 215);
    const int32_t score = CurrentGame ? CurrentGame->Score : 0;
    DrawTitleText(ScoreLineX, ScoreLineY, 24, 14, ScoreLine(score), *form.BackBuffer, ColourDimGreen);
    DrawText(form, EnterName, 24, 14, ColourDimGreen);
    OkCancelQuestion->Draw(*form.BackBuffer);
    HiScoreNameEdit->Draw(*form.BackBuffer);
}

void DrawSendQuestion(TForm1& form) {
    DrawSavedScreen(form);
    DrawPanel(form, 200);
    YesNoQuestion->Draw(*form.BackBuffer);
    DrawText(form, SendLine1, 24, 15, ColourDimGreen);
    DrawText(form, SendLine2, 24, 15, ColourDimGreen);
}

void DrawQuitQuestion(TForm1& form) {
    if (!DrawSavedScreen(form)) form.RestoreSurfaces();
    DrawPanel(form, 190);
    DrawText(form, ExitGame, 46, 20, ColourDimGreen);
    YesNoQuestion->Draw(*form.BackBuffer);
}

void DrawRetryQuestion(TForm1& form) {
    DrawSavedScreen(form);
    DrawPanel(form, 190);
    YesNoQuestion->Draw(*form.BackBuffer);
    DrawText(form, RetryLine1, 24, 15, ColourRed);
    DrawText(form, RetryLine2, 24, 15, ColourRed);
}

void DrawWaitingNotice(TForm1& form) {
    DrawSavedScreen(form);
    DrawPanel(form, 190);
    DrawText(form, PleaseWait, 24, 16, ColourDimGreen);
    DrawText(form, WaitWayOut, 18, 10, ColourDimGreen);
}

void ShowWaitingNotice(TForm1& form) {
    RequestScreen(ScreenPleaseWait);
    ApplyScreenChange(); // drawn at once, below
    form.Pacer.OpenFrameGate();
    form.RenderFrame();
    form.PresentNow();
}
