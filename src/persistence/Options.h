// The options record: kept in memory, written to Config.cfg only when the file is saved.
#pragma once

#include <cstdint>
#include <string>

struct TOptions {
    bool Windowed = true;
    bool SoundEnabled = true;
    bool MusicEnabled = true;
    int32_t MinimizeKey = 123; // F12
    std::string Country;
};

extern TOptions Options;
