// The parts of a picture drawn on since some moment, kept as a few rectangles. When the list is full,
// everything merges into one bounding rectangle: a long run of small draws never costs more to track
// than the picture itself.
#pragma once

#include "core/Rect.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

class DrawnAreas {
  public:
    static constexpr size_t Capacity = 8;

    void Clear() { count = 0; }
    std::span<const TRect> Areas() const { return {areas.data(), count}; }

    void Add(const TRect& area) {
        if (area.Width() <= 0 || area.Height() <= 0) return;
        for (size_t i = 0; i < count; ++i)
            if (Contains(areas[i], area)) return;
        if (count < Capacity) {
            areas[count++] = area;
            return;
        }
        TRect bounds = area;
        for (const TRect& drawn : Areas())
            bounds = TRect{std::min(bounds.left, drawn.left), std::min(bounds.top, drawn.top),
                           std::max(bounds.right, drawn.right), std::max(bounds.bottom, drawn.bottom)};
        areas[0] = bounds;
        count = 1;
    }

  private:
    static bool Contains(const TRect& outer, const TRect& inner) {
        return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
               inner.bottom <= outer.bottom;
    }

    std::array<TRect, Capacity> areas{};
    size_t count = 0;
};
