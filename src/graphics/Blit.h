// Putting pictures on the back buffer: DrawSprite clips game objects to the play field; the direct
// forms draw widgets, the HUD and screen pictures at fixed places.
#pragma once

#include "core/Rect.h"
#include "platform/Surface.h"

#include <memory>

inline constexpr int ClipRight = 800;
inline constexpr int ClipBottom = 598; // the two bottom rows are never reached by DrawSprite

// Clipped, colour-keyed blit of `source` rectangle at (x, y). A missing sprite draws nothing.
int32_t DrawSprite(const Surface* sprite, Surface& target, const TRect& source, int16_t x, int16_t y);
int32_t DrawSprite(const std::unique_ptr<Surface>& sprite, Surface& target, const TRect& source, int16_t x,
                   int16_t y);

// Direct blits of the whole picture or a rectangle of it, keyed or plain.
int32_t DrawDirect(const std::unique_ptr<Surface>& sprite, Surface& target, int x, int y, bool keyed = true);
int32_t DrawDirectRect(const std::unique_ptr<Surface>& sprite, Surface& target, const TRect& source, int x,
                       int y, bool keyed = true);
