// Rectangles: left, top, right, bottom; right and bottom are exclusive.
#pragma once

#include <cstdint>

struct TRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const TRect&) const = default;
};

inline TRect MakeRect(int32_t left, int32_t top, int32_t width, int32_t height) {
    return TRect{left, top, left + width, top + height};
}

// Rectangles that only touch do not collide: the intersection must be non-empty.
inline bool RectsIntersect(const TRect& a, const TRect& b) {
    const int32_t left = a.left > b.left ? a.left : b.left;
    const int32_t right = a.right < b.right ? a.right : b.right;
    const int32_t top = a.top > b.top ? a.top : b.top;
    const int32_t bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
    return left < right && top < bottom;
}

// The common part of two rectangles; empty (right <= left or bottom <= top) when they do not meet.
inline TRect Intersection(const TRect& a, const TRect& b) {
    return TRect{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                 a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
}

inline bool PointInRect(const TRect& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
