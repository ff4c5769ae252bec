// "Please wait..." over the frozen picture while the result is sent: the screen follows the sending
// and goes on to the high-score table or the retry question; Escape stops waiting.
#include "graphics/Text.h"
#include "main/Form.h"
#include "main/MainState.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/Screens.h"
#include "main/SendResult.h"
#include "platform/Input.h"

bool WaitingNoticeOnly = false;

namespace {

void StepWaitingNotice() {
    if (!WaitingNoticeOnly) {
        FollowScoreSending();
        return;
    }
    WaitingNoticeOnly = false;
    RequestScreen(ScreenHiScores);
}

const PanelText PleaseWait{290, 282, "Please wait..."};
const PanelText WaitWayOut{326, 334, "Esc: stop waiting"};

bool DrawWaitingNotice(const Canvas& canvas, uint32_t) {
    DrawSavedScreen(canvas);
    DrawPanel(canvas, 190);
    DrawPanelText(canvas, PleaseWait, 24, 16, ColourDimGreen);
    DrawPanelText(canvas, WaitWayOut, 18, 10, ColourDimGreen);
    return true;
}

void WaitingKey(TForm1&, uint16_t key) {
    if (key == VkEscape) StopWaitingForScore(); // the requests are under way
}

} // namespace

void ShowWaitingNotice(TForm1& form) {
    RequestScreen(ScreenPleaseWait);
    form.ShowNextFrameAtOnce();
}

const ScreenHome PleaseWaitHome = {StepWaitingNotice, DrawWaitingNotice, WaitingKey, nullptr, PadKeys::Menu,
                                   nullptr,           nullptr,           true,       false};
