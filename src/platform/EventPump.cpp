#include "platform/EventPump.h"

#include "platform/GamepadEvents.h"
#include "platform/Input.h"

#include <SDL.h>

namespace {

bool minimised = false;
// The shell was told of an activation and of no deactivation since. A window that SDL creates anew under
// the program (the first renderer on a window drawn through its surface) gains the focus again without
// having lost it; that is no activation, and the tune plays on.
bool activated = false;

void Deactivate(ShellEvents& shell) {
    activated = false;
    shell.ApplicationDeactivate();
}

void HandleWindowEvent(const SDL_WindowEvent& event, ShellEvents& shell) {
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        if (minimised) {
            minimised = false;
            shell.ApplicationRestore();
        }
        if (activated) break;
        activated = true;
        shell.ApplicationActivate();
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        Deactivate(shell);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        minimised = true;
        Deactivate(shell);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (minimised) {
            minimised = false;
            shell.ApplicationRestore();
        }
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        shell.MaximiseCommand();
        break;
    case SDL_WINDOWEVENT_MOVED:
        shell.WindowMoved();
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        shell.WindowResized();
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        shell.WindowExposed();
        break;
    case SDL_WINDOWEVENT_CLOSE:
        shell.CloseRequest();
        break;
    default:
        break;
    }
}

void HandleKeyDown(const SDL_KeyboardEvent& event, ShellEvents& shell) {
    uint16_t key = VirtualKeyFromSdl(event.keysym.sym);
    const uint8_t scanCode = ScanCodeFromSdl(event.keysym.scancode);
    if (key == 0 && scanCode == 0) return;
    shell.FormKeyDown(key, scanCode, (event.keysym.mod & KMOD_ALT) != 0);
}

} // namespace

void InitialiseEventPump() {
    // A closed window asks the close query; only a signal may end the program without it.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    minimised = false;
    activated = false;
}

void PumpEvents(ShellEvents& shell) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            shell.Terminate();
            break;
        case SDL_WINDOWEVENT:
            HandleWindowEvent(event.window, shell);
            break;
        case SDL_KEYDOWN:
            HandleKeyDown(event.key, shell);
            break;
        case SDL_MOUSEMOTION:
            AccumulateMouseMotion(event.motion.xrel, event.motion.yrel, 0);
            shell.FormMouseMove(event.motion.x, event.motion.y);
            break;
        case SDL_MOUSEWHEEL:
            AccumulateMouseMotion(0, 0, event.wheel.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
            shell.FormMouseDown(event.button.button, event.button.x, event.button.y);
            break;
        default:
            HandleGamepadEvent(event, shell);
            break;
        }
    }
}
