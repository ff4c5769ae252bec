// Keyboard scan codes (places on the keyboard, whatever the layout) that the game names: the key table
// KeyState is indexed by them, and Controls.cfg stores keys by them.
#pragma once

#include <cstdint>

enum ScanCode : uint8_t {
    ScanEscape = 0x01,
    ScanP = 0x19,
    ScanLeftCtrl = 0x1D,
    ScanSpace = 0x39,
    ScanRightCtrl = 0x9D,
    ScanUp = 0xC8,
    ScanLeft = 0xCB,
    ScanRight = 0xCD,
    ScanDown = 0xD0,
};
