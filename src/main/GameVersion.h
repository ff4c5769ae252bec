// The game's version: told by --version and written into every replay, whose rules it names.
#pragma once

#ifndef VANTORIX_VERSION
#error "The build gives the game's version as VANTORIX_VERSION."
#endif

inline constexpr const char* GameVersion = VANTORIX_VERSION;
