// The widgets' hit test: strictly inside, so the border pixels of a rectangle belong to no button.
#pragma once

#include "core/Rect.h"

#include <cstdint>

inline bool PointStrictlyInRect(const TRect& r, int32_t x, int32_t y) {
    return r.left < x && x < r.right && r.top < y && y < r.bottom;
}
