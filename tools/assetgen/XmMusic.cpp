// Placeholder until the music lands.
#include "AssetGen.h"

std::vector<uint8_t> ComposeTitleTune() { return {}; }
std::vector<uint8_t> ComposeGameTune() { return {}; }
