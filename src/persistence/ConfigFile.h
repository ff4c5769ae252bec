// Config.cfg: the options and the high-score table in one small file of fixed layout.
#pragma once

#include <string>

inline constexpr const char* ConfigPath = "Config.cfg";

// Reads the file into Options and HiScoreTable (defaults for whatever cannot be read).
void LoadConfig(const std::string& path = ConfigPath);
bool SaveConfig(const std::string& path = ConfigPath);
