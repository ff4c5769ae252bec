// The event pump's door to the gamepads: plug-in, pull-out, button and stick events.
#pragma once

#include "platform/EventPump.h"

#include <SDL.h>

// True when the event was a gamepad's (handled here, pad presses passed to the shell).
bool HandleGamepadEvent(const SDL_Event& event, ShellEvents& shell);
