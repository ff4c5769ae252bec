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

struct PadKey {
    PadButton button;
    uint16_t key;
};

// In play: Start pauses, Back asks to quit (fire and the specials are held controls).
constexpr PadKey GamePadKeys[] = {{PadButton::Start, VkP}, {PadButton::Back, VkEscape}};
// Paused: Start resumes, and so does B, as going back to the game.
constexpr PadKey PausePadKeys[] = {{PadButton::Start, VkP}, {PadButton::B, VkEscape}};
// Menus and questions: the d-pad moves, A or Start chooses, B or Back goes back; the shoulders pick
// the left or right answer of a question.
constexpr PadKey MenuPadKeys[] = {
    {PadButton::Up, VkUp},
    {PadButton::Down, VkDown},
    {PadButton::Left, VkLeft},
    {PadButton::Right, VkRight},
    {PadButton::A, VkReturn},
    {PadButton::Start, VkReturn},
    {PadButton::B, VkEscape},
    {PadButton::Back, VkEscape},
    {PadButton::LeftShoulder, VkLeft},
    {PadButton::RightShoulder, VkRight},
};

template <size_t N> uint16_t KeyIn(const PadKey (&table)[N], PadButton button) {
    for (const PadKey& entry : table)
        if (entry.button == button) return entry.key;
    return 0;
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

uint16_t KeyForPadButton(PadKeys keys, PadButton button) {
    switch (keys) {
    case PadKeys::None:
        return 0;
    case PadKeys::Game:
        return KeyIn(GamePadKeys, button);
    case PadKeys::Pause:
        return KeyIn(PausePadKeys, button);
    case PadKeys::Menu:
        return KeyIn(MenuPadKeys, button);
    }
    return 0;
}

void FreezePicture(TForm1& form) {
    form.SavedScreen->BlitWhole(*form.BackBuffer, 0, 0, false);
}

void ResumeGame(TForm1& form) {
    RequestScreen(ScreenGame);
    form.display.SetGameMouse(true);
}
