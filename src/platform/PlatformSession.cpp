#include "platform/PlatformSession.h"

#include <SDL.h>

PlatformSession::PlatformSession() {
    started = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
    if (!started) error = SDL_GetError();
}

PlatformSession::~PlatformSession() {
    if (started) SDL_Quit();
}
