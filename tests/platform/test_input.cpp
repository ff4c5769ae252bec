#include "platform/Input.h"

#include <SDL.h>
#include <gtest/gtest.h>

TEST(KeyCodes, WindowKeyEventsCarryVirtualKeyCodes) {
    const std::pair<SDL_Keycode, uint16_t> cases[] = {
        {SDLK_BACKSPACE, 8}, {SDLK_RETURN, 13}, {SDLK_ESCAPE, 27}, {SDLK_SPACE, 32},  {SDLK_LEFT, 37},
        {SDLK_UP, 38},       {SDLK_RIGHT, 39},  {SDLK_DOWN, 40},   {SDLK_a, 65},      {SDLK_n, 78},
        {SDLK_p, 80},        {SDLK_y, 89},      {SDLK_z, 90},      {SDLK_0, 48},      {SDLK_9, 57},
        {SDLK_F1, 112},      {SDLK_F12, 123},   {SDLK_F15, 126},   {SDLK_LSHIFT, 16}, {SDLK_RCTRL, 17},
        {SDLK_LALT, 18},     {SDLK_PAGEUP, 33}, {SDLK_DELETE, 46}, {SDLK_LGUI, 91},
    };
    for (auto [sdl, virtualKey] : cases)
        EXPECT_EQ(VirtualKeyFromSdl(sdl), virtualKey) << SDL_GetKeyName(sdl);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_UNKNOWN), 0);
}

TEST(KeyCodes, KeyStateIsIndexedByTheGamesScanCodes) {
    const std::pair<SDL_Scancode, uint8_t> cases[] = {
        {SDL_SCANCODE_LEFT, 0xCB},  {SDL_SCANCODE_RIGHT, 0xCD},  {SDL_SCANCODE_UP, 0xC8},
        {SDL_SCANCODE_DOWN, 0xD0},  {SDL_SCANCODE_LCTRL, 0x1D},  {SDL_SCANCODE_RCTRL, 0x9D},
        {SDL_SCANCODE_SPACE, 0x39}, {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_A, 0x1E},
        {SDL_SCANCODE_F12, 0x58},
    };
    for (auto [sdl, scanCode] : cases)
        EXPECT_EQ(ScanCodeFromSdl(sdl), scanCode) << SDL_GetScancodeName(sdl);
}

TEST(KeyState, PollingRefillsTheTableAndAnUnacquiredKeyboardReadsNothing) {
    ClearTestInput();
    SetTestKeyHeld(ScanLeftCtrl, true);
    KeyState[0x50] = KeyDown; // stale from an earlier pass
    PollKeyboard();
    EXPECT_EQ(KeyState[ScanLeftCtrl], KeyDown);
    EXPECT_EQ(KeyState[0x50], 0);
    UnacquireKeyboard();
    PollKeyboard();
    EXPECT_EQ(KeyState[ScanLeftCtrl], 0);
    AcquireKeyboard();
    ClearTestInput();
}

TEST(MouseDevice, MotionIsGatheredUntilTheNextRead) {
    ClearTestInput();
    AccumulateMouseMotion(3, -2, 0);
    AccumulateMouseMotion(4, 1, 1);
    SetTestMouseButtons(SDL_BUTTON_LMASK);
    MouseDeviceState state = ReadMouseDevice();
    EXPECT_EQ(state.x, 7);
    EXPECT_EQ(state.y, -1);
    EXPECT_EQ(state.buttons[0], KeyDown);
    EXPECT_EQ(state.buttons[1], 0);
    state = ReadMouseDevice();
    EXPECT_EQ(state.x, 0);
    ClearTestInput();
}
