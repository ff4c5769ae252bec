// "Send the result to world's highscores page" after a new high score, and "Can not connect to
// server! Repeat?" when sending failed: Yes sends (again), No goes to the high-score table or,
// for the retry, to the main menu.
#include "DXCtrl/MenuClick.h"
#include "graphics/Text.h"
#include "main/MainState.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"
#include "main/Screens.h"
#include "main/SendResult.h"

namespace {

const PanelText SendLine1{254, 252, "Send the result to"};
const PanelText SendLine2{216, 282, "world's highscores page"};
const PanelText RetryLine1{254, 252, "Can not connect to"};
const PanelText RetryLine2{290, 282, "server! Repeat?"};

// The Yes/No answers on a panel at x, under the question's two lines.
bool DrawYesNoPanel(const Canvas& canvas, int x, const PanelText& line1, const PanelText& line2,
                    uint32_t colour) {
    DrawSavedScreen(canvas);
    DrawPanel(canvas, x);
    YesNoQuestion->Draw(canvas.target);
    DrawPanelText(canvas, line1, 24, 15, colour);
    DrawPanelText(canvas, line2, 24, 15, colour);
    return true;
}

bool DrawSendQuestion(const Canvas& canvas, uint32_t) {
    return DrawYesNoPanel(canvas, 200, SendLine1, SendLine2, ColourDimGreen);
}

bool DrawRetryQuestion(const Canvas& canvas, uint32_t) {
    return DrawYesNoPanel(canvas, 190, RetryLine1, RetryLine2, ColourRed);
}

void SendQuestionKey(TForm1& form, uint16_t key) {
    if (IsEscapeOrN(key))
        RequestScreen(ScreenMainMenu);
    else
        HandleQuestionKey(form, *YesNoQuestion, key, true);
}

void SendQuestionAction(TForm1& form) {
    if (!YesNoQuestion->MouseOver) return;
    if (YesNoQuestion->Choice) {
        SendResult(form);
    } else {
        WaitingNoticeOnly = true; // and on to the table after it
        ShowWaitingNotice(form);
    }
    PlayMenuClickDirect();
}

} // namespace

const ScreenHome SendQuestionHome = {nullptr,       DrawSendQuestion, SendQuestionKey,    nullptr,
                                     PadKeys::Menu, PointAtYesOrNo,   SendQuestionAction, false,
                                     false};
const ScreenHome RetryQuestionHome = {nullptr,       DrawRetryQuestion, SendQuestionKey,    nullptr,
                                      PadKeys::Menu, PointAtYesOrNo,    SendQuestionAction, true,
                                      false};
