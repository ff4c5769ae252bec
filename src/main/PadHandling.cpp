// What each gamepad button does on each screen: in the game the pad's held controls fly the ship
// (through the key table), so only Start and Back act here; everywhere else the pad speaks the keys
// of the key table, and the name entry also takes letters from the d-pad.
#include "DXCtrl/TDDEdit.h"
#include "core/ScreenState.h"
#include "main/Form.h"
#include "main/MenuWidgets.h"
#include "main/Screens.h"
#include "platform/Input.h"

namespace {

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

uint16_t KeyForPadButton(Screen screen, PadButton button) {
    if (screen == ScreenIntro) return 0;
    if (screen == ScreenGame) return KeyIn(GamePadKeys, button);
    if (screen == ScreenPause) return KeyIn(PausePadKeys, button);
    return KeyIn(MenuPadKeys, button);
}

// The name entry's letters: up and down step the last letter, right adds one, left or X removes one.
bool PickNameLetter(TDDEdit& field, PadButton button) {
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

} // namespace

void TForm1::GamepadButtonDown(PadButton button) {
    HandlePadButton(button);
    ApplyScreenChange();
}

void TForm1::HandlePadButton(PadButton button) {
    if (!AppActive) return;
    MouseActive = false;
    if (ScreenState == ScreenNameEntry && HiScoreNameEdit && PickNameLetter(*HiScoreNameEdit, button)) return;
    if (ScreenState == ScreenKeyCapture) {
        // A pad has no key to offer as the minimize key: B or Back leaves the choice as it was.
        if (button == PadButton::B || button == PadButton::Back) RequestScreen(ScreenOptions);
        return;
    }
    if (const uint16_t key = KeyForPadButton(ScreenState, button)) HandleScreenKey(key);
}
