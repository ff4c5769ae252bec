// In-memory defaults until the file format lands.
#include "persistence/ConfigFile.h"

#include "persistence/HiScores.h"
#include "persistence/Options.h"

void LoadConfig(const std::string&) {
    Options = TOptions{};
    ResetHighScores();
}

bool SaveConfig(const std::string&) { return true; }
