// A picture button: the screen already shows its plain face, so it draws only its highlight, and only
// while selected.
#pragma once

#include "core/Rect.h"
#include "platform/Surface.h"

#include <cstdint>

struct TDDButton {
    TDDButton(const TRect& rect, uint8_t imageIndex) : Rect(rect), ImageIndex(imageIndex) {}

    bool Contains(int32_t x, int32_t y) const;
    void Draw(Surface& target) const;

    TRect Rect;
    bool Selected = false;
    uint8_t ImageIndex = 0; // into InterfaceSprites
};
