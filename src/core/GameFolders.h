// Where the game's pictures and tunes are read from.
#pragma once

#include <string>

// The folder that holds Data/ and sound/, ending in '/'; empty means the working folder.
extern std::string DataFolder;
