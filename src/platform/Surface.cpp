#include "platform/Surface.h"

#include <SDL.h>

#include <cstring>

std::unique_ptr<Surface> Surface::Create(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    SDL_Surface* native = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    if (!native) return nullptr;
    SDL_SetSurfaceBlendMode(native, SDL_BLENDMODE_NONE);
    return std::unique_ptr<Surface>(new Surface(native));
}

Surface::~Surface() {
    SDL_FreeSurface(surface);
}

int Surface::Width() const {
    return surface->w;
}
int Surface::Height() const {
    return surface->h;
}

uint32_t* Surface::Row(int y) {
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) +
                                       static_cast<size_t>(y) * surface->pitch);
}
const uint32_t* Surface::Row(int y) const {
    return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(surface->pixels) +
                                             static_cast<size_t>(y) * surface->pitch);
}

uint32_t Surface::MapRgb(uint32_t rgb) const {
    return SDL_MapRGB(surface->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void Surface::SetColourKey(uint32_t rawValue) {
    SDL_SetColorKey(surface, SDL_TRUE, rawValue);
}
bool Surface::HasColourKey() const {
    return SDL_HasColorKey(surface) == SDL_TRUE;
}
uint32_t Surface::ColourKey() const {
    uint32_t key = 0;
    SDL_GetColorKey(surface, &key);
    return key;
}

int32_t Surface::Fill(uint32_t rgb) {
    return SDL_FillRect(surface, nullptr, MapRgb(rgb)) == 0 ? BlitOk : BlitFailed;
}

int32_t Surface::FillRect(const TRect& rect, uint32_t rgb) {
    if (rect.Width() <= 0 || rect.Height() <= 0) return BlitFailed;
    SDL_Rect area{rect.left, rect.top, rect.Width(), rect.Height()};
    return SDL_FillRect(surface, &area, MapRgb(rgb)) == 0 ? BlitOk : BlitFailed;
}

namespace {

// Clips a copy of `source` at (x, y) against both surfaces; false when nothing is left to draw.
bool ClipBlit(TRect& source, int& x, int& y, int sourceWidth, int sourceHeight, int targetWidth,
              int targetHeight) {
    auto clipStart = [](int32_t& start, int& position) {
        if (start < 0) {
            position -= start;
            start = 0;
        }
        if (position < 0) {
            start -= position;
            position = 0;
        }
    };
    clipStart(source.left, x);
    clipStart(source.top, y);
    if (source.right > sourceWidth) source.right = sourceWidth;
    if (source.bottom > sourceHeight) source.bottom = sourceHeight;
    if (x + source.Width() > targetWidth) source.right = source.left + (targetWidth - x);
    if (y + source.Height() > targetHeight) source.bottom = source.top + (targetHeight - y);
    return source.Width() > 0 && source.Height() > 0;
}

} // namespace

int32_t Surface::BlitFrom(const Surface& from, const TRect& source, int x, int y, bool keyed) {
    TRect clipped = source;
    if (!ClipBlit(clipped, x, y, from.Width(), from.Height(), Width(), Height())) return BlitFailed;
    if (keyed && from.HasColourKey()) {
        SDL_Rect sourceArea{clipped.left, clipped.top, clipped.Width(), clipped.Height()};
        SDL_Rect target{x, y, 0, 0};
        return SDL_BlitSurface(from.surface, &sourceArea, surface, &target) == 0 ? BlitOk : BlitFailed;
    }
    // A plain copy: both surfaces share one pixel format, so rows copy as they are.
    const size_t rowBytes = static_cast<size_t>(clipped.Width()) * 4;
    for (int row = 0; row < clipped.Height(); ++row)
        std::memcpy(Row(y + row) + x, from.Row(clipped.top + row) + clipped.left, rowBytes);
    return BlitOk;
}

int32_t Surface::BlitWhole(const Surface& from, int x, int y, bool keyed) {
    return BlitFrom(from, TRect{0, 0, from.Width(), from.Height()}, x, y, keyed);
}
