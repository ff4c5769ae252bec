#include "graphics/Blit.h"

int32_t DrawSprite(const Surface* sprite, Surface& target, const TRect& source, int16_t x16, int16_t y16) {
    if (!sprite) return BlitFailed;
    TRect r = source;
    int x = x16;
    int y = y16;
    // The right and bottom tests use the unclipped position, so they come first.
    if (x + r.Width() > ClipRight) r.right = r.left + (ClipRight - x);
    if (y + r.Height() > ClipBottom) r.bottom = r.top + (ClipBottom - y);
    if (x < 0) {
        r.left -= x;
        x = 0;
    }
    if (y < 0) {
        r.top -= y;
        y = 0;
    }
    if (r.Width() <= 0 || r.Height() <= 0) return BlitFailed;
    return target.BlitFrom(*sprite, r, x, y, true);
}

int32_t DrawSprite(const std::unique_ptr<Surface>& sprite, Surface& target, const TRect& source, int16_t x,
                   int16_t y) {
    return DrawSprite(sprite.get(), target, source, x, y);
}

int32_t DrawDirect(const std::unique_ptr<Surface>& sprite, Surface& target, int x, int y, bool keyed) {
    if (!sprite) return BlitFailed;
    return target.BlitWhole(*sprite, x, y, keyed);
}

int32_t DrawDirectRect(const std::unique_ptr<Surface>& sprite, Surface& target, const TRect& source, int x,
                       int y, bool keyed) {
    if (!sprite) return BlitFailed;
    return target.BlitFrom(*sprite, source, x, y, keyed);
}
