#include "core/GameFolders.h"

std::string DataFolder;
