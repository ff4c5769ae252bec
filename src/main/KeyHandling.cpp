// What each key does on each screen (the shell's key table).
#include "Game/TGame.h"
#include "core/ScreenState.h"
#include "main/Form.h"
#include "main/KeyNames.h"
#include "main/MenuWidgets.h"
#include "main/Screens.h"
#include "main/SendResult.h"
#include "main/ShellActions.h"
#include "persistence/Options.h"
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

// Letters and Backspace go to a text field; true when the key was one of them.
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

// Left and Right pick the first or second item of the selected item's pair and perform it at once.
void PickOptionOfPair(TForm1& form, bool second) {
    TDDOptBtnCollection& options = *OptionsMenu;
    if (options.ItemIndex < 0 || options.ItemIndex > 5) return;
    options.MouseOver = true;
    options.ItemIndex = static_cast<int8_t>(options.ItemIndex / 2 * 2 + (second ? 1 : 0));
    form.MenuAction();
}

void HandleOptionsKey(TForm1& form, uint16_t key) {
    TDDOptBtnCollection& options = *OptionsMenu;
    if (TypeInto(options.Edit, key)) return;
    switch (key) {
    case VkDown:
        options.Down();
        break;
    case VkUp:
        options.Up();
        break;
    case VkRight:
        PickOptionOfPair(form, true);
        break;
    case VkLeft:
        PickOptionOfPair(form, false);
        break;
    case VkReturn:
    case VkSpace:
        options.Confirm([&form] { form.MenuAction(); });
        break;
    case VkEscape:
        options.MouseOver = true;
        options.ItemIndex = TDDOptBtnCollection::BackItem;
        form.MenuAction();
        break;
    default:
        break;
    }
}

// Left and Right choose the answer; Enter, Space (and Y where it counts) answer with the highlighted one.
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

} // namespace

void TForm1::HandleScreenKey(uint16_t key) {
    switch (ScreenState) {
    case ScreenIntro:
        break;
    case ScreenMainMenu:
        if (key == VkEscape)
            Close(); // the close query turns this into the exit question
        else
            StepButtons(*MainMenu, key, *this);
        break;
    case ScreenGame:
        if (key == VkP)
            PauseGame();
        else if (key == VkEscape && CurrentGame && CurrentGame->Phase == GamePhase::Play) {
            RequestScreen(ScreenQuitQuestion);
            EndGameMouse();
            SavedScreen->BlitWhole(*BackBuffer, 0, 0, false);
        }
        break;
    case ScreenOptions:
        HandleOptionsKey(*this, key);
        break;
    case ScreenHiScores:
        if (key == VkEscape)
            RequestScreen(ScreenMainMenu);
        else
            StepButtons(*HiScoreButtons, key, *this);
        break;
    case ScreenHelpOverview:
    case ScreenHelpBonuses:
    case ScreenHelpControls:
    case ScreenHelpAbout:
        if (key == VkEscape)
            RequestScreen(ScreenMainMenu);
        else
            StepButtons(*PageButtons, key, *this);
        break;
    case ScreenExitQuestion:
        if (IsEscapeOrN(key))
            RequestScreen(ScreenMainMenu);
        else
            HandleQuestionKey(*this, *YesNoQuestion, key, true);
        break;
    case ScreenClearQuestion:
        if (key == VkEscape)
            RequestScreen(ScreenHiScores);
        else
            HandleQuestionKey(*this, *OkCancelQuestion, key, false);
        break;
    case ScreenKeyCapture:
        if (KeyName(key) != BadKeyName) {
            Options.MinimizeKey = key;
            RequestScreen(ScreenOptions);
        }
        break;
    case ScreenPause:
        if (key == VkP || key == VkEscape) ResumeGame(*this);
        break;
    case ScreenNameEntry:
        if (TypeInto(*HiScoreNameEdit, key)) break;
        if (key == VkEscape)
            RequestScreen(ScreenMainMenu);
        else
            HandleQuestionKey(*this, *OkCancelQuestion, key, false);
        break;
    case ScreenSendQuestion:
    case ScreenRetryQuestion:
        if (IsEscapeOrN(key))
            RequestScreen(ScreenMainMenu);
        else
            HandleQuestionKey(*this, *YesNoQuestion, key, true);
        break;
    case ScreenQuitQuestion:
        if (IsEscapeOrN(key))
            ResumeGame(*this);
        else
            HandleQuestionKey(*this, *YesNoQuestion, key, true);
        break;
    case ScreenPleaseWait:
        if (key == VkEscape) StopWaitingForScore(); // the requests are under way
        break;
    }
}
