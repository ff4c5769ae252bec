// The name entry over the finished game's picture: the score, the name field, Ok saves the result to
// the table (and asks about sending it), Cancel drops it. The pad picks letters with its d-pad.
#include "DXCtrl/MenuClick.h"
#include "Game/TGame.h"
#include "graphics/Text.h"
#include "main/GameRecording.h"
#include "main/MainState.h"
#include "main/MenuWidgets.h"
#include "main/Notice.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"
#include "main/Screens.h"
#include "main/SendResult.h"
#include "persistence/HiScores.h"
#include "platform/Input.h"

#include <string>

namespace {

const PanelText EnterName{250, 254, "Please enter your name"};
constexpr int ScoreLineX = 290;
constexpr int ScoreLineY = 232;

// "Your score is " and the score; the string keeps its buffer, so no frame allocates.
const std::string& ScoreLine(int32_t score) {
    static std::string line;
    line.assign("Your score is ");
    line += std::to_string(score);
    return line;
}

bool DrawNameEntry(const Canvas& canvas, uint32_t) {
    DrawSavedScreen(canvas);
    DrawPanel(canvas, 215);
    const int32_t score = CurrentGame ? CurrentGame->Score : 0;
    DrawTitleText(ScoreLineX, ScoreLineY, 24, 14, ScoreLine(score), canvas.target, ColourDimGreen);
    DrawPanelText(canvas, EnterName, 24, 14, ColourDimGreen);
    OkCancelQuestion->Draw(canvas.target);
    HiScoreNameEdit->Draw(canvas.target);
    return true;
}

void NameEntryKey(TForm1& form, uint16_t key) {
    if (TypeInto(*HiScoreNameEdit, key)) return;
    if (key == VkEscape)
        RequestScreen(ScreenMainMenu);
    else
        HandleQuestionKey(form, *OkCancelQuestion, key, false);
}

// The name's letters: up and down step the last letter, right adds one, left or X removes one.
bool PickNameLetter(TForm1&, PadButton button) {
    if (!HiScoreNameEdit) return false;
    TDDEdit& field = *HiScoreNameEdit;
    switch (button) {
    case PadButton::Up:
        field.StepLastLetter(1);
        return true;
    case PadButton::Down:
        field.StepLastLetter(-1);
        return true;
    case PadButton::Right:
        field.KeyPress('A');
        return true;
    case PadButton::Left:
    case PadButton::X:
        field.KeyPress(TDDEdit::BackspaceChar);
        return true;
    default:
        return false;
    }
}

void NameEntryAction(TForm1&) {
    if (!OkCancelQuestion->MouseOver) return;
    if (OkCancelQuestion->Choice) {
        if (RefuseBlankName()) return;
        const std::string name = NameEntryText();
        InsertHiScore(name, CurrentGame ? CurrentGame->Score : 0);
        KeepFinishedGameForTable(name);
        if (!SaveSettings()) ShowNotice(ScoreNotSavedNotice);
        RequestScreen(ScreenSendQuestion);
    } else {
        RequestScreen(ScreenMainMenu);
    }
    PlayMenuClickDirect();
}

} // namespace

const ScreenHome NameEntryHome = {nullptr,         DrawNameEntry, NameEntryKey,
                                  PickNameLetter,  PadKeys::Menu, PointAtOkOrCancel,
                                  NameEntryAction, false,         false};
