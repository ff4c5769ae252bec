#include "main/PadKeys.h"

#include "platform/Input.h"
#include "platform/PlatformState.h"

#include <cstddef>
#include <optional>

namespace {

struct PadKey {
    PadButton button;
    uint16_t key;
};

// Paused: besides the player's pause and quit buttons, B resumes, as going back to the game.
constexpr PadKey PausePadKeys[] = {{PadButton::B, VkEscape}};
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

// The key the pause and the quit question have always had, for a control held at `place`.
uint16_t PlayKeyOf(std::optional<BindingPlace> place) {
    if (!place) return 0;
    switch (place->Control) {
    case GameControl::Pause:
        return VkP;
    case GameControl::QuitQuestion:
        return VkEscape;
    default:
        return 0; // the controls the ship reads are held, not pressed
    }
}

// In play the pad speaks through the buttons the player gave the pause and the quit question.
uint16_t PlayKeyOfPadButton(PadButton button) {
    return PlayKeyOf(FindPadButton(PlayerControls, button));
}

} // namespace

uint16_t PlayKeyAt(uint8_t scanCode) {
    return PlayKeyOf(FindKey(PlayerControls, scanCode));
}

uint16_t KeyForPadButton(PadKeys keys, PadButton button) {
    switch (keys) {
    case PadKeys::None:
        return 0;
    case PadKeys::Game:
        return PlayKeyOfPadButton(button);
    case PadKeys::Pause:
        if (const uint16_t key = PlayKeyOfPadButton(button)) return key;
        return KeyIn(PausePadKeys, button);
    case PadKeys::Menu:
        return KeyIn(MenuPadKeys, button);
    }
    return 0;
}
