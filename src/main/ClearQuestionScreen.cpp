// "Do you want to clear the High Score Table?" over the high-score screen: Ok empties the table in
// memory (saved with the next save), Cancel keeps it.
#include "DXCtrl/MenuClick.h"
#include "graphics/PackRecords.h"
#include "graphics/Text.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"
#include "main/Screens.h"
#include "persistence/HiScores.h"
#include "platform/Input.h"

namespace {

const PanelText ClearLine1{260, 250, "Do you want to clear"};
const PanelText ClearLine2{260, 278, "the High Score Table?"};

bool DrawClearQuestion(const Canvas& canvas, uint32_t) {
    DrawSavedScreen(canvas);
    DrawPanel(canvas, 210);
    DrawPicture(canvas, InterfaceRecord::Logo, 0, 0);
    DrawPanelText(canvas, ClearLine1, 26, 14, ColourDimGreen);
    DrawPanelText(canvas, ClearLine2, 26, 14, ColourDimGreen);
    OkCancelQuestion->Draw(canvas.target);
    return true;
}

void ClearQuestionKey(TForm1& form, uint16_t key) {
    if (key == VkEscape)
        RequestScreen(ScreenHiScores);
    else
        HandleQuestionKey(form, *OkCancelQuestion, key, false);
}

void ClearQuestionAction(TForm1&) {
    if (!OkCancelQuestion->MouseOver) return;
    if (OkCancelQuestion->Choice) ResetHighScores(); // memory only, saved on the next save
    RequestScreen(ScreenHiScores);
    PlayMenuClickDirect();
}

} // namespace

const ScreenHome ClearQuestionHome = {nullptr,       DrawClearQuestion, ClearQuestionKey,    nullptr,
                                      PadKeys::Menu, PointAtOkOrCancel, ClearQuestionAction, true,
                                      false};
