#include "main/ScreenInput.h"

#include "main/Form.h"
#include "main/MenuWidgets.h"
#include "main/Screens.h"
#include "platform/Input.h"

namespace {

bool IsLetter(uint16_t key) {
    return key >= 'A' && key <= 'Z';
}
bool IsUpOrLeft(uint16_t key) {
    return key == VkUp || key == VkLeft;
}
bool IsDownOrRight(uint16_t key) {
    return key == VkDown || key == VkRight;
}
bool IsEnterOrSpace(uint16_t key) {
    return key == VkReturn || key == VkSpace;
}

} // namespace

bool TypeInto(TDDEdit& field, uint16_t key) {
    if (IsLetter(key)) {
        field.KeyPress(static_cast<char>(key));
        return true;
    }
    if (key == VkBack) {
        field.KeyPress(TDDEdit::BackspaceChar);
        return true;
    }
    return false;
}

void StepButtons(TDDBtnCollection& buttons, uint16_t key, TForm1& form) {
    if (IsUpOrLeft(key))
        buttons.Prev();
    else if (IsDownOrRight(key))
        buttons.Next();
    else if (IsEnterOrSpace(key)) {
        buttons.MouseOver = true;
        form.MenuAction();
    }
}

void HandleQuestionKey(TForm1& form, TDDTextBtnCollection& question, uint16_t key, bool yesKeyAnswers) {
    if (key == VkLeft)
        question.SetChoice(true);
    else if (key == VkRight)
        question.SetChoice(false);
    else if (IsEnterOrSpace(key) || (yesKeyAnswers && key == VkY)) {
        question.MouseOver = true;
        form.MenuAction();
    }
}

bool IsEscapeOrN(uint16_t key) {
    return key == VkEscape || key == VkN;
}

void PointAtYesOrNo() {
    YesNoQuestion->SelectChoiceAtMouse();
}

void PointAtOkOrCancel() {
    OkCancelQuestion->SelectChoiceAtMouse();
}

void FreezePicture(TForm1& form) {
    form.SavedScreen->BlitWhole(*form.BackBuffer, 0, 0, false);
}

void ResumeGame(TForm1& form) {
    RequestScreen(ScreenGame);
    form.display.SetGameMouse(true);
}
