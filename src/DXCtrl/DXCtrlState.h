// The program-wide values of the menu widgets, declared here and nowhere else, and their reset.
#pragma once

#include <cstdint>

// Menu clicks played since program start (see MenuClick.h).
extern uint32_t MenuClicksCounted;

// Back to the values at program start: no click played.
void ResetDXCtrlState();
