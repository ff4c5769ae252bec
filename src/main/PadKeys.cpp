#include "main/PadKeys.h"

#include "platform/Input.h"

#include <cstddef>

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

} // namespace

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
