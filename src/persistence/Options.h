// The options record: kept in memory, written to Config.cfg only when the file is saved.
#pragma once

#include "persistence/PersistenceState.h"

#include <cstdint>
#include <string>

struct TOptions {
    bool Windowed = true;
    bool SoundEnabled = true;
    bool MusicEnabled = true;
    int32_t MinimizeKey = 123; // F12
    std::string Country;
};

// A window mode asked for on the command line holds for this run only: Config.cfg keeps the stored
// mode until the player switches the mode in the game, which ends the override.
void OverrideWindowModeForThisRun(bool windowed);
void EndWindowModeOverride();
// What a save writes as the window mode.
bool WindowedToStore();
