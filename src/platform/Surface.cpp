#include "platform/Surface.h"

#include <SDL.h>

#include <algorithm>
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
    return FillRect(TRect{0, 0, Width(), Height()}, rgb);
}

// Row by row with the C library's stores (the clear of every frame goes through here); the library's
// own fill is slower on wide rows.
int32_t Surface::FillRect(const TRect& rect, uint32_t rgb) {
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = std::min(rect.right, Width());
    const int bottom = std::min(rect.bottom, Height());
    if (rect.Width() <= 0 || rect.Height() <= 0) return BlitFailed;
    if (right <= left || bottom <= top) return BlitOk; // wholly outside: nothing to fill
    const uint32_t value = MapRgb(rgb);
    for (int y = top; y < bottom; ++y) {
        if (value == 0)
            std::memset(Row(y) + left, 0, static_cast<size_t>(right - left) * 4);
        else
            std::fill_n(Row(y) + left, right - left, value);
    }
    return BlitOk;
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

// Eight pixels at a time, through the compiler's vector types: one compare and one select per group,
// where the library's keyed blit tests and copies pixel by pixel. Built for AVX2 as well as the
// baseline, the better one chosen when the program starts.
using PixelGroup = uint32_t __attribute__((vector_size(32)));
constexpr int GroupPixels = sizeof(PixelGroup) / sizeof(uint32_t);
constexpr uint32_t ColourBits = 0xFFFFFF; // the unused top byte never takes part in the key

__attribute__((target_clones("avx2", "default"))) void KeyedRows(uint32_t* target, size_t targetPitch,
                                                                 const uint32_t* source, size_t sourcePitch,
                                                                 int width, int height, uint32_t key) {
    key &= ColourBits;
    const PixelGroup keyGroup = PixelGroup{} + key;
    for (int row = 0; row < height; ++row, target += targetPitch, source += sourcePitch) {
        int x = 0;
        for (; x + GroupPixels <= width; x += GroupPixels) {
            PixelGroup from;
            std::memcpy(&from, source + x, sizeof from);
            const PixelGroup transparent = reinterpret_cast<PixelGroup>((from & ColourBits) == keyGroup);
            // Sprites are mostly wholly clear or wholly solid runs: those never read the target.
            uint64_t lanes[sizeof(PixelGroup) / sizeof(uint64_t)];
            std::memcpy(lanes, &transparent, sizeof lanes);
            if ((lanes[0] & lanes[1] & lanes[2] & lanes[3]) == ~uint64_t{0}) continue;
            if ((lanes[0] | lanes[1] | lanes[2] | lanes[3]) != 0) {
                PixelGroup to;
                std::memcpy(&to, target + x, sizeof to);
                from = (to & transparent) | (from & ~transparent);
            }
            std::memcpy(target + x, &from, sizeof from);
        }
        for (; x < width; ++x)
            if ((source[x] & ColourBits) != key) target[x] = source[x];
    }
}

} // namespace

int32_t Surface::BlitFrom(const Surface& from, const TRect& source, int x, int y, bool keyed) {
    TRect clipped = source;
    if (!ClipBlit(clipped, x, y, from.Width(), from.Height(), Width(), Height())) return BlitFailed;
    if (keyed && from.HasColourKey()) {
        KeyedRows(Row(y) + x, static_cast<size_t>(surface->pitch) / 4, from.Row(clipped.top) + clipped.left,
                  static_cast<size_t>(from.surface->pitch) / 4, clipped.Width(), clipped.Height(),
                  from.ColourKey());
        return BlitOk;
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
