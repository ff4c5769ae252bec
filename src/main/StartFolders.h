// Where a start finds its pictures and tunes and where it keeps Config.cfg.
#pragma once

#include <filesystem>
#include <string>

// "$XDG_DATA_HOME/vantorix", or "<home>/.local/share/vantorix" when XDG_DATA_HOME is unset, empty or
// relative; empty when there is no home either. Arguments may be null.
std::filesystem::path PlayerDataFolder(const char* xdgDataHome, const char* home);

// The folder holding Data/Data.pp for a program in `executableFolder`: the folder itself (a build), or
// <prefix>/share/vantorix next to <prefix>/bin (an install), which is also the answer when neither
// holds the pack, so the message about the missing pack names where it belongs.
std::filesystem::path InstalledDataFolder(const std::filesystem::path& executableFolder);

// Where a start keeps Config.cfg and Controls.cfg: the working folder when it holds Data/Data.pp,
// else the player's data folder (found, not made); empty when there is no home folder either.
std::filesystem::path GameFilesFolder();

// A start in a folder that holds Data/Data.pp plays from there (a portable copy). Any other start
// reads the data next to the program and works in the player's data folder, created when missing.
// False, with the reason, when that folder cannot be made.
bool EnterGameFolders(std::string& problem);
