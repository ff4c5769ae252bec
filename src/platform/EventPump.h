// Turns the window system's events into the shell's handlers, between two idle passes.
#pragma once

#include "platform/Gamepad.h"

#include <cstdint>

class ShellEvents {
  public:
    virtual ~ShellEvents() = default;
    // A key pressed: its virtual-key code (0 when it has none) and its place on the keyboard (its scan
    // code, 0 when the key table does not know it).
    virtual void FormKeyDown(uint16_t& key, uint8_t scanCode, bool altHeld) = 0;
    virtual void FormMouseMove(int32_t x, int32_t y) = 0;
    virtual void FormMouseDown(int button, int32_t x, int32_t y) = 0;
    virtual void ApplicationActivate() = 0;
    virtual void ApplicationDeactivate() = 0;
    virtual void ApplicationRestore() = 0;
    virtual void CloseRequest() = 0;
    virtual void MaximiseCommand() = 0;
    virtual void WindowMoved() = 0;
    virtual void WindowResized() = 0;
    // The window was uncovered or shown again: the screen needs its picture again.
    virtual void WindowExposed() = 0;
    // Ctrl+C or SIGTERM in the terminal: end at once, saving nothing.
    virtual void Terminate() = 0;
    // A gamepad button pressed (or the left stick pushed well over, as a d-pad press).
    virtual void GamepadButtonDown(PadButton) {}
};

class Display;

void InitialiseEventPump();
void PumpEvents(ShellEvents& shell);
