#include "platform/Gamepad.h"

#include "platform/GamepadEvents.h"
#include "platform/Input.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

// In the menus the stick counts as a d-pad press only when pushed over half way (and past the dead
// zone), and again only after it came back inside the dead zone.
constexpr int16_t StickMenuPush = 16384;
// A trigger counts as pressed past a quarter of its travel, and as let go below an eighth.
constexpr int16_t TriggerPressed = 8000;
constexpr int16_t TriggerReleased = 4000;

struct ControllerCloser {
    void operator()(SDL_GameController* pad) const { SDL_GameControllerClose(pad); }
};
using ControllerHandle = std::unique_ptr<SDL_GameController, ControllerCloser>;

struct OpenPad {
    SDL_JoystickID id;
    ControllerHandle controller;
    int8_t stickX = 0; // -1, 0, 1: the direction the stick was last pushed over half way
    int8_t stickY = 0;
    std::array<bool, 2> triggerPulled{}; // left, right, as last told to the shell
};

struct JoystickCloser {
    void operator()(SDL_Joystick* joystick) const { SDL_JoystickClose(joystick); }
};

bool initialised = false;
std::vector<OpenPad> pads;
std::optional<SDL_JoystickID> lastPressed;
std::unique_ptr<SDL_Joystick, JoystickCloser> virtualPad;

struct ButtonEntry {
    SDL_GameControllerButton sdl;
    PadButton button;
};

constexpr ButtonEntry ButtonTable[] = {
    {SDL_CONTROLLER_BUTTON_A, PadButton::A},
    {SDL_CONTROLLER_BUTTON_B, PadButton::B},
    {SDL_CONTROLLER_BUTTON_X, PadButton::X},
    {SDL_CONTROLLER_BUTTON_Y, PadButton::Y},
    {SDL_CONTROLLER_BUTTON_BACK, PadButton::Back},
    {SDL_CONTROLLER_BUTTON_START, PadButton::Start},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PadButton::LeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PadButton::RightShoulder},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, PadButton::Up},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadButton::Down},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadButton::Left},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadButton::Right},
};

struct TriggerEntry {
    SDL_GameControllerAxis axis;
    PadButton button;
};
constexpr TriggerEntry TriggerTable[] = {{SDL_CONTROLLER_AXIS_TRIGGERLEFT, PadButton::LeftTrigger},
                                         {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, PadButton::RightTrigger}};

SDL_GameControllerButton LibraryButton(PadButton button) {
    for (const ButtonEntry& entry : ButtonTable)
        if (entry.button == button) return entry.sdl;
    return SDL_CONTROLLER_BUTTON_INVALID;
}

const ButtonEntry* EntryForLibraryButton(uint8_t sdlButton) {
    for (const ButtonEntry& entry : ButtonTable)
        if (entry.sdl == sdlButton) return &entry;
    return nullptr;
}

OpenPad* FindPad(SDL_JoystickID id) {
    for (OpenPad& pad : pads)
        if (pad.id == id) return &pad;
    return nullptr;
}

void OpenPadAt(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;
    if (FindPad(SDL_JoystickGetDeviceInstanceID(deviceIndex))) return; // already open
    ControllerHandle controller(SDL_GameControllerOpen(deviceIndex));
    if (!controller) {
        std::fprintf(stderr, "vantorix: a gamepad cannot be opened (%s)\n", SDL_GetError());
        return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller.get()));
    pads.push_back(OpenPad{id, std::move(controller)});
}

void ClosePad(SDL_JoystickID id) {
    std::erase_if(pads, [id](const OpenPad& pad) { return pad.id == id; });
}

int16_t DeadZone() {
    return static_cast<int16_t>(std::min<uint16_t>(PlayerControls.PadDeadZone, MaxPadDeadZone));
}

// The stick's new direction on one axis for the menus, or 0 when it did not newly cross.
int8_t StickCrossing(int8_t& direction, int16_t value) {
    const int16_t push = std::max<int16_t>(StickMenuPush, DeadZone() + 1);
    if (value <= -push && direction != -1) return direction = -1;
    if (value >= push && direction != 1) return direction = 1;
    if (value > -DeadZone() && value < DeadZone()) direction = 0;
    return 0;
}

// A trigger pulled is a press of it; it must be let go before it presses again.
void HandleTrigger(OpenPad& pad, size_t trigger, int16_t value, ShellEvents& shell) {
    bool& pulled = pad.triggerPulled[trigger];
    if (!pulled && value > TriggerPressed) {
        pulled = true;
        lastPressed = pad.id;
        shell.GamepadButtonDown(TriggerTable[trigger].button);
    } else if (pulled && value < TriggerReleased) {
        pulled = false;
    }
}

void HandleAxis(const SDL_ControllerAxisEvent& event, ShellEvents& shell) {
    OpenPad* pad = FindPad(event.which);
    if (!pad) return;
    if (event.axis == SDL_CONTROLLER_AXIS_LEFTX) {
        if (const int8_t crossed = StickCrossing(pad->stickX, event.value))
            shell.GamepadButtonDown(crossed < 0 ? PadButton::Left : PadButton::Right);
    } else if (event.axis == SDL_CONTROLLER_AXIS_LEFTY) {
        if (const int8_t crossed = StickCrossing(pad->stickY, event.value))
            shell.GamepadButtonDown(crossed < 0 ? PadButton::Up : PadButton::Down);
    }
    for (size_t trigger = 0; trigger < std::size(TriggerTable); ++trigger)
        if (event.axis == TriggerTable[trigger].axis) HandleTrigger(*pad, trigger, event.value, shell);
}

bool Held(SDL_GameController* pad, PadButton button) {
    for (const TriggerEntry& trigger : TriggerTable)
        if (trigger.button == button) return SDL_GameControllerGetAxis(pad, trigger.axis) > TriggerPressed;
    return SDL_GameControllerGetButton(pad, LibraryButton(button)) != 0;
}

// The directions the left stick leans past the dead zone, as control bits.
uint8_t StickControls(SDL_GameController* pad, int16_t deadZone) {
    const int16_t x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    const int16_t y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    uint8_t controls = 0;
    if (x < -deadZone) controls |= ControlLeft;
    if (x > deadZone) controls |= ControlRight;
    if (y < -deadZone) controls |= ControlUp;
    if (y > deadZone) controls |= ControlDown;
    return controls;
}

// The controller layer reads a trigger's whole raw range as 0 .. 32767.
void SetVirtualTrigger(SDL_GameControllerAxis axis, int16_t value) {
    const int raw = SDL_JOYSTICK_AXIS_MIN + 2 * static_cast<int>(value);
    if (virtualPad) SDL_JoystickSetVirtualAxis(virtualPad.get(), axis, static_cast<int16_t>(raw));
}

} // namespace

void InitialiseGamepads() {
    if (initialised) return;
    // The library would drop pad input while no window of ours has the keyboard focus (and a window
    // without a window manager may never get it); the shell itself ignores pads while inactive.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "vantorix: gamepads cannot be used (%s); keyboard and mouse still play\n",
                     SDL_GetError());
        return;
    }
    initialised = true;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        OpenPadAt(i);
}

void ShutdownGamepads() {
    if (!initialised) return;
    virtualPad.reset();
    pads.clear();
    lastPressed.reset();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    initialised = false;
}

int OpenGamepadCount() {
    return static_cast<int>(pads.size());
}

uint8_t PadControlsHeld(const ControlBindings& controls) {
    const int16_t deadZone = static_cast<int16_t>(std::min<uint16_t>(controls.PadDeadZone, MaxPadDeadZone));
    uint8_t held = 0;
    for (const OpenPad& pad : pads) {
        SDL_GameController* controller = pad.controller.get();
        held |= StickControls(controller, deadZone);
        for (size_t control = 0; control < FrameControlCount; ++control)
            for (const auto& button : controls.Controls[control].PadButtons)
                if (button && Held(controller, *button))
                    held |= ControlBitOf(static_cast<GameControl>(control));
    }
    return held;
}

PadLabels PadLabelsOfType(int controllerType) {
    switch (controllerType) {
    case SDL_CONTROLLER_TYPE_PS3:
    case SDL_CONTROLLER_TYPE_PS4:
    case SDL_CONTROLLER_TYPE_PS5:
        return PadLabels::PlayStation;
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO:
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_LEFT:
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_RIGHT:
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_PAIR:
        return PadLabels::Nintendo;
    default:
        return PadLabels::Common;
    }
}

PadLabels OpenPadLabels() {
    if (pads.empty()) return PadLabels::Common;
    const OpenPad* pad = lastPressed ? FindPad(*lastPressed) : nullptr;
    return PadLabelsOfType(SDL_GameControllerGetType((pad ? *pad : pads.front()).controller.get()));
}

bool HandleGamepadEvent(const SDL_Event& event, ShellEvents& shell) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        OpenPadAt(event.cdevice.which); // a device index
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        ClosePad(event.cdevice.which); // an instance id
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
        if (!FindPad(event.cbutton.which)) return true;
        lastPressed = event.cbutton.which;
        if (const ButtonEntry* entry = EntryForLibraryButton(event.cbutton.button))
            shell.GamepadButtonDown(entry->button);
        return true;
    case SDL_CONTROLLERAXISMOTION:
        HandleAxis(event.caxis, shell);
        return true;
    default:
        return false;
    }
}

bool AttachVirtualGamepad() {
    if (!initialised) InitialiseGamepads();
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "VANTORIX test pad";
    const int deviceIndex = SDL_JoystickAttachVirtualEx(&desc);
    if (deviceIndex < 0) {
        std::fprintf(stderr, "vantorix: no virtual gamepad (%s)\n", SDL_GetError());
        return false;
    }
    virtualPad.reset(SDL_JoystickOpen(deviceIndex));
    if (!virtualPad) return false;
    // The triggers rest at the bottom of the raw axis; 0 there would read as half pressed.
    for (const TriggerEntry& trigger : TriggerTable)
        SetVirtualTrigger(trigger.axis, 0);
    return true;
}

void DetachVirtualGamepad() {
    if (!virtualPad) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(virtualPad.get());
    virtualPad.reset();
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
}

// A virtual pad's buttons and axes are numbered in the controller layer's own order.
void SetVirtualPadButton(PadButton button, bool held) {
    if (!virtualPad) return;
    for (const TriggerEntry& trigger : TriggerTable)
        if (trigger.button == button)
            return SetVirtualTrigger(trigger.axis, held ? SDL_JOYSTICK_AXIS_MAX : 0);
    SDL_JoystickSetVirtualButton(virtualPad.get(), LibraryButton(button), held ? 1 : 0);
}

void SetVirtualPadLeftStick(int16_t x, int16_t y) {
    if (!virtualPad) return;
    SDL_JoystickSetVirtualAxis(virtualPad.get(), SDL_CONTROLLER_AXIS_LEFTX, x);
    SDL_JoystickSetVirtualAxis(virtualPad.get(), SDL_CONTROLLER_AXIS_LEFTY, y);
}

void SetVirtualPadRightTrigger(int16_t value) {
    SetVirtualTrigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, value);
}
