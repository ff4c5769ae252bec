// An off-screen 32-bit picture (XRGB8888): the back buffer, the saved screen and every sprite.
// The rest of the game sees only this class, never the library behind it.
#pragma once

#include "core/Rect.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct SDL_Surface;

// Blit results: 0 is success, like the display layer's codes.
inline constexpr int32_t BlitOk = 0;
inline constexpr int32_t BlitFailed = -1;

class Surface {
  public:
    // A new black surface, or nullptr when the library cannot make one.
    static std::unique_ptr<Surface> Create(int width, int height);

    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const;
    int Height() const;
    uint32_t* Row(int y);
    const uint32_t* Row(int y) const;
    uint32_t Pixel(int x, int y) const { return Row(y)[x] & 0xFFFFFF; }
    void SetPixel(int x, int y, uint32_t rgb) { Row(y)[x] = rgb & 0xFFFFFF; }

    // The raw pixel value of an RGB colour in this surface's format.
    uint32_t MapRgb(uint32_t rgb) const;
    void SetColourKey(uint32_t rawValue);
    bool HasColourKey() const;
    uint32_t ColourKey() const;

    // Fills the whole surface, or a rectangle clipped to it, with an RGB colour.
    int32_t Fill(uint32_t rgb);
    int32_t FillRect(const TRect& rect, uint32_t rgb);
    // Copies `source` rectangle of `from` to (x, y), keyed or plain. Clipped to both surfaces.
    int32_t BlitFrom(const Surface& from, const TRect& source, int x, int y, bool keyed);
    int32_t BlitWhole(const Surface& from, int x, int y, bool keyed);

    SDL_Surface* Native() const { return surface; }

  private:
    explicit Surface(SDL_Surface* surface) : surface(surface) {}
    SDL_Surface* surface;
};

// RGB helpers: colours are 0x00RRGGBB throughout the program.
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 16) | (g << 8) | b;
}
