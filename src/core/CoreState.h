// The program-wide values of core, declared here and nowhere else, and their reset.
#pragma once

#include <cstdint>
#include <string>

enum Screen : int32_t;

// The screen the program is on (see ScreenState.h).
extern Screen ScreenState;
// The random generator's state (see Random.h).
extern uint32_t RandSeed;
// The folder that holds Data/ and sound/, ending in '/'; empty means the working folder.
extern std::string DataFolder;

// Back to the values at program start: the intro screen, seed 0, the working folder.
void ResetCoreState();
