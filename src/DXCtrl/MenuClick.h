// The menu click of every widget: played at the pointer, or straight on the effect bank with the pan
// and volume of its last play. Every play is counted, so the rules about when it sounds can be checked.
#pragma once

#include <cstdint>

void PlayMenuClickAtPointer();
void PlayMenuClickDirect();
uint32_t MenuClicksPlayed();
