// Keyboard and mouse as the game sees them: a 256-byte key table indexed by keyboard scan codes
// (0x80 = held), the last pointer position, and the mouse's relative motion and buttons per game frame.
// Window key events carry Windows virtual-key codes so stored key choices keep their meaning.
#pragma once

#include "core/GameInput.h"
#include "core/ScanCode.h"
#include "platform/PlatformState.h"

#include <array>
#include <cstdint>
#include <string>

inline constexpr uint8_t KeyDown = 0x80;

// Virtual-key codes of the window key events.
enum VirtualKey : uint16_t {
    VkBack = 8,
    VkTab = 9,
    VkReturn = 13,
    VkShift = 16,
    VkControl = 17,
    VkMenu = 18,
    VkEscape = 27,
    VkSpace = 32,
    VkHome = 36,
    VkLeft = 37,
    VkUp = 38,
    VkRight = 39,
    VkDown = 40,
    VkDelete = 46,
    VkN = 78,
    VkP = 80,
    VkY = 89,
    VkF12 = 123,
};

// The mouse device's state for one game frame: motion since the last read and 8 buttons (0x80 = held).
struct MouseDeviceState {
    int32_t x = 0;
    int32_t y = 0;
    int32_t wheel = 0;
    std::array<uint8_t, 8> buttons{};
};

// The keyboard device: while unacquired (the program is inactive) every poll reads all zeros.
void AcquireKeyboard();
void UnacquireKeyboard();
// Zeroes KeyState and fills it with the keys held now.
void PollKeyboard();

// Called by the event pump with every relative motion; read and reset once per game frame.
void AccumulateMouseMotion(int32_t dx, int32_t dy, int32_t wheel);
MouseDeviceState ReadMouseDevice();
// The six controls of a game frame as the ship reads them: the player's keys (PlayerControls) and pad
// buttons, the left stick past the dead zone, or the mouse's direction of travel (which reads and
// resets the mouse device), its left button firing and its right one the special weapon.
uint8_t ReadGameControls();
// The live input of the game frame about to run: the controls held.
GameFrameInput LiveFrameInput();
// Tests press keys and buttons without a real keyboard.
void SetTestKeyHeld(uint8_t scanCode, bool held);
void SetTestMouseButtons(uint32_t buttonMask);
void ClearTestInput();

// What a player calls the key at this place on the keyboard: the character the keyboard's layout
// prints on it (a letter in upper case), or else the key's own name ("Left Ctrl", "Space", "Up").
// Works before the display is opened, by the key's name alone.
std::string KeyLabel(uint8_t scanCode);

// Mappings from the library's key identifiers; 0 when a key has no code.
uint16_t VirtualKeyFromSdl(int32_t sdlKeycode);
uint8_t ScanCodeFromSdl(int32_t sdlScancode);
