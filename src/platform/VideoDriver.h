// Whether the window the game opens can be seen. Without a reachable display server the library
// falls back to drivers that draw into memory only; the game would then run invisibly.
#pragma once

#include <string>

// False, with the reason, when the running video driver shows nothing and was not asked for by
// name in SDL_VIDEODRIVER (the tests ask for "dummy" on purpose).
bool VideoDriverShowsWindows(std::string& problem);
