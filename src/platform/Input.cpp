#include "platform/Input.h"

#include "platform/Clock.h"

#include <cctype>
#include <utility>

#include "platform/Gamepad.h"

#include <SDL.h>

std::array<uint8_t, 256> KeyState{};
int32_t MouseX = 0;
int32_t MouseY = 0;
bool MouseActive = false;
ControlBindings PlayerControls = DefaultControlBindings();

namespace {

bool keyboardAcquired = true;
MouseDeviceState pendingMouse;
std::array<uint8_t, 256> testKeys{};
uint32_t testButtons = 0;

struct ScanCodeEntry {
    SDL_Scancode sdl;
    uint8_t scanCode;
};

constexpr ScanCodeEntry ScanCodeTable[] = {
    {SDL_SCANCODE_ESCAPE, 0x01},      {SDL_SCANCODE_1, 0x02},           {SDL_SCANCODE_2, 0x03},
    {SDL_SCANCODE_3, 0x04},           {SDL_SCANCODE_4, 0x05},           {SDL_SCANCODE_5, 0x06},
    {SDL_SCANCODE_6, 0x07},           {SDL_SCANCODE_7, 0x08},           {SDL_SCANCODE_8, 0x09},
    {SDL_SCANCODE_9, 0x0A},           {SDL_SCANCODE_0, 0x0B},           {SDL_SCANCODE_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, 0x0D},      {SDL_SCANCODE_BACKSPACE, 0x0E},   {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10},           {SDL_SCANCODE_W, 0x11},           {SDL_SCANCODE_E, 0x12},
    {SDL_SCANCODE_R, 0x13},           {SDL_SCANCODE_T, 0x14},           {SDL_SCANCODE_Y, 0x15},
    {SDL_SCANCODE_U, 0x16},           {SDL_SCANCODE_I, 0x17},           {SDL_SCANCODE_O, 0x18},
    {SDL_SCANCODE_P, 0x19},           {SDL_SCANCODE_LEFTBRACKET, 0x1A}, {SDL_SCANCODE_RIGHTBRACKET, 0x1B},
    {SDL_SCANCODE_RETURN, 0x1C},      {SDL_SCANCODE_LCTRL, 0x1D},       {SDL_SCANCODE_A, 0x1E},
    {SDL_SCANCODE_S, 0x1F},           {SDL_SCANCODE_D, 0x20},           {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22},           {SDL_SCANCODE_H, 0x23},           {SDL_SCANCODE_J, 0x24},
    {SDL_SCANCODE_K, 0x25},           {SDL_SCANCODE_L, 0x26},           {SDL_SCANCODE_SEMICOLON, 0x27},
    {SDL_SCANCODE_APOSTROPHE, 0x28},  {SDL_SCANCODE_GRAVE, 0x29},       {SDL_SCANCODE_LSHIFT, 0x2A},
    {SDL_SCANCODE_BACKSLASH, 0x2B},   {SDL_SCANCODE_Z, 0x2C},           {SDL_SCANCODE_X, 0x2D},
    {SDL_SCANCODE_C, 0x2E},           {SDL_SCANCODE_V, 0x2F},           {SDL_SCANCODE_B, 0x30},
    {SDL_SCANCODE_N, 0x31},           {SDL_SCANCODE_M, 0x32},           {SDL_SCANCODE_COMMA, 0x33},
    {SDL_SCANCODE_PERIOD, 0x34},      {SDL_SCANCODE_SLASH, 0x35},       {SDL_SCANCODE_RSHIFT, 0x36},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37}, {SDL_SCANCODE_LALT, 0x38},        {SDL_SCANCODE_SPACE, 0x39},
    {SDL_SCANCODE_CAPSLOCK, 0x3A},    {SDL_SCANCODE_F1, 0x3B},          {SDL_SCANCODE_F2, 0x3C},
    {SDL_SCANCODE_F3, 0x3D},          {SDL_SCANCODE_F4, 0x3E},          {SDL_SCANCODE_F5, 0x3F},
    {SDL_SCANCODE_F6, 0x40},          {SDL_SCANCODE_F7, 0x41},          {SDL_SCANCODE_F8, 0x42},
    {SDL_SCANCODE_F9, 0x43},          {SDL_SCANCODE_F10, 0x44},         {SDL_SCANCODE_NUMLOCKCLEAR, 0x45},
    {SDL_SCANCODE_SCROLLLOCK, 0x46},  {SDL_SCANCODE_KP_7, 0x47},        {SDL_SCANCODE_KP_8, 0x48},
    {SDL_SCANCODE_KP_9, 0x49},        {SDL_SCANCODE_KP_MINUS, 0x4A},    {SDL_SCANCODE_KP_4, 0x4B},
    {SDL_SCANCODE_KP_5, 0x4C},        {SDL_SCANCODE_KP_6, 0x4D},        {SDL_SCANCODE_KP_PLUS, 0x4E},
    {SDL_SCANCODE_KP_1, 0x4F},        {SDL_SCANCODE_KP_2, 0x50},        {SDL_SCANCODE_KP_3, 0x51},
    {SDL_SCANCODE_KP_0, 0x52},        {SDL_SCANCODE_KP_PERIOD, 0x53},   {SDL_SCANCODE_F11, 0x57},
    {SDL_SCANCODE_F12, 0x58},         {SDL_SCANCODE_KP_ENTER, 0x9C},    {SDL_SCANCODE_RCTRL, 0x9D},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5},   {SDL_SCANCODE_RALT, 0xB8},        {SDL_SCANCODE_PAUSE, 0xC5},
    {SDL_SCANCODE_HOME, 0xC7},        {SDL_SCANCODE_UP, 0xC8},          {SDL_SCANCODE_PAGEUP, 0xC9},
    {SDL_SCANCODE_LEFT, 0xCB},        {SDL_SCANCODE_RIGHT, 0xCD},       {SDL_SCANCODE_END, 0xCF},
    {SDL_SCANCODE_DOWN, 0xD0},        {SDL_SCANCODE_PAGEDOWN, 0xD1},    {SDL_SCANCODE_INSERT, 0xD2},
    {SDL_SCANCODE_DELETE, 0xD3},      {SDL_SCANCODE_LGUI, 0xDB},        {SDL_SCANCODE_RGUI, 0xDC},
    {SDL_SCANCODE_APPLICATION, 0xDD},
};

struct VirtualKeyEntry {
    SDL_Keycode sdl;
    uint16_t virtualKey;
};

// Shift, Ctrl and Alt arrive as the generic codes 16, 17 and 18, as window key events give them.
constexpr VirtualKeyEntry VirtualKeyTable[] = {
    {SDLK_BACKSPACE, 8},      {SDLK_TAB, 9},           {SDLK_RETURN, 13},
    {SDLK_KP_ENTER, 13},      {SDLK_LSHIFT, 16},       {SDLK_RSHIFT, 16},
    {SDLK_LCTRL, 17},         {SDLK_RCTRL, 17},        {SDLK_LALT, 18},
    {SDLK_RALT, 18},          {SDLK_PAUSE, 19},        {SDLK_CAPSLOCK, 20},
    {SDLK_ESCAPE, 27},        {SDLK_SPACE, 32},        {SDLK_PAGEUP, 33},
    {SDLK_PAGEDOWN, 34},      {SDLK_END, 35},          {SDLK_HOME, 36},
    {SDLK_LEFT, 37},          {SDLK_UP, 38},           {SDLK_RIGHT, 39},
    {SDLK_DOWN, 40},          {SDLK_INSERT, 45},       {SDLK_DELETE, 46},
    {SDLK_LGUI, 91},          {SDLK_RGUI, 92},         {SDLK_APPLICATION, 93},
    {SDLK_KP_0, 96},          {SDLK_KP_1, 97},         {SDLK_KP_2, 98},
    {SDLK_KP_3, 99},          {SDLK_KP_4, 100},        {SDLK_KP_5, 101},
    {SDLK_KP_6, 102},         {SDLK_KP_7, 103},        {SDLK_KP_8, 104},
    {SDLK_KP_9, 105},         {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PLUS, 107},
    {SDLK_KP_MINUS, 109},     {SDLK_KP_PERIOD, 110},   {SDLK_KP_DIVIDE, 111},
    {SDLK_F1, 112},           {SDLK_F2, 113},          {SDLK_F3, 114},
    {SDLK_F4, 115},           {SDLK_F5, 116},          {SDLK_F6, 117},
    {SDLK_F7, 118},           {SDLK_F8, 119},          {SDLK_F9, 120},
    {SDLK_F10, 121},          {SDLK_F11, 122},         {SDLK_F12, 123},
    {SDLK_F13, 124},          {SDLK_F14, 125},         {SDLK_F15, 126},
    {SDLK_NUMLOCKCLEAR, 144}, {SDLK_SCROLLLOCK, 145},  {SDLK_SEMICOLON, 186},
    {SDLK_EQUALS, 187},       {SDLK_COMMA, 188},       {SDLK_MINUS, 189},
    {SDLK_PERIOD, 190},       {SDLK_SLASH, 191},       {SDLK_BACKQUOTE, 192},
    {SDLK_LEFTBRACKET, 219},  {SDLK_BACKSLASH, 220},   {SDLK_RIGHTBRACKET, 221},
    {SDLK_QUOTE, 222},
};

} // namespace

void AcquireKeyboard() {
    keyboardAcquired = true;
}
void UnacquireKeyboard() {
    keyboardAcquired = false;
}

void PollKeyboard() {
    KeyState.fill(0);
    if (!keyboardAcquired) return;
    int count = 0;
    const Uint8* held = SDL_GetKeyboardState(&count);
    for (const ScanCodeEntry& entry : ScanCodeTable)
        if (entry.sdl < count && held[entry.sdl]) KeyState[entry.scanCode] = KeyDown;
    for (size_t i = 0; i < testKeys.size(); ++i)
        if (testKeys[i]) KeyState[i] = KeyDown;
}

void AccumulateMouseMotion(int32_t dx, int32_t dy, int32_t wheel) {
    pendingMouse.x += dx;
    pendingMouse.y += dy;
    pendingMouse.wheel += wheel;
}

MouseDeviceState ReadMouseDevice() {
    MouseDeviceState state = pendingMouse;
    pendingMouse = MouseDeviceState{};
    const uint32_t buttons = SDL_GetMouseState(nullptr, nullptr) | testButtons;
    const uint32_t order[8] = {SDL_BUTTON_LMASK,  SDL_BUTTON_RMASK, SDL_BUTTON_MMASK, SDL_BUTTON_X1MASK,
                               SDL_BUTTON_X2MASK, 1u << 5,          1u << 6,          1u << 7};
    for (int i = 0; i < 8; ++i)
        state.buttons[i] = (buttons & order[i]) ? KeyDown : 0;
    return state;
}

void SetTestKeyHeld(uint8_t scanCode, bool held) {
    testKeys[scanCode] = held ? 1 : 0;
}
void SetTestMouseButtons(uint32_t buttonMask) {
    testButtons = buttonMask;
}
void ClearTestInput() {
    testKeys.fill(0);
    testButtons = 0;
    pendingMouse = MouseDeviceState{};
}

uint16_t VirtualKeyFromSdl(int32_t sdlKeycode) {
    if (sdlKeycode >= SDLK_a && sdlKeycode <= SDLK_z)
        return static_cast<uint16_t>('A' + (sdlKeycode - SDLK_a));
    if (sdlKeycode >= SDLK_0 && sdlKeycode <= SDLK_9)
        return static_cast<uint16_t>('0' + (sdlKeycode - SDLK_0));
    for (const VirtualKeyEntry& entry : VirtualKeyTable)
        if (entry.sdl == sdlKeycode) return entry.virtualKey;
    return 0;
}

std::string KeyLabel(uint8_t scanCode) {
    for (const ScanCodeEntry& entry : ScanCodeTable) {
        if (entry.scanCode != scanCode) continue;
        const SDL_Keycode printed = SDL_GetKeyFromScancode(entry.sdl);
        if (printed > ' ' && printed < 0x7F) return std::string(1, static_cast<char>(std::toupper(printed)));
        return SDL_GetScancodeName(entry.sdl);
    }
    return "Key " + std::to_string(scanCode);
}

uint8_t ScanCodeFromSdl(int32_t sdlScancode) {
    for (const ScanCodeEntry& entry : ScanCodeTable)
        if (entry.sdl == sdlScancode) return entry.scanCode;
    return 0;
}

namespace {

// The frame controls held on the keyboard by the player's keys.
uint8_t KeyControlsHeld(const ControlBindings& controls) {
    uint8_t held = 0;
    for (size_t control = 0; control < FrameControlCount; ++control)
        for (const uint8_t key : controls.Controls[control].Keys)
            if (key != NoKey && KeyState[key] == KeyDown)
                held |= ControlBitOf(static_cast<GameControl>(control));
    return held;
}

// The mouse flies by its direction of travel; its left button fires and its right one is the special.
uint8_t MouseControlsHeld() {
    const MouseDeviceState mouse = ReadMouseDevice();
    const std::pair<bool, GameControlBit> held[] = {
        {mouse.x < 0, ControlLeft},
        {mouse.x > 0, ControlRight},
        {mouse.y < 0, ControlUp},
        {mouse.y > 0, ControlDown},
        {mouse.buttons[0] == KeyDown, ControlFire},
        {mouse.buttons[1] == KeyDown, ControlSpecial},
    };
    uint8_t controls = 0;
    for (const auto& [on, bit] : held)
        if (on) controls |= bit;
    return controls;
}

} // namespace

uint8_t ReadGameControls() {
    return MouseControlsHeld() | KeyControlsHeld(PlayerControls) | PadControlsHeld(PlayerControls);
}

GameFrameInput LiveFrameInput() {
    return {ReadGameControls()};
}
