// An off-screen 32-bit picture (XRGB8888): the back buffer, the saved screen and every sprite.
// The rest of the game sees only this class, never the library behind it.
#pragma once

#include "core/DrawnAreas.h"
#include "core/Rect.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Surface;

// Blit results: 0 is success, like the display layer's codes.
inline constexpr int32_t BlitOk = 0;
inline constexpr int32_t BlitFailed = -1;

// A stretch of a sprite row without a pixel of the colour key.
struct SolidRun {
    uint16_t start;
    uint16_t length;
};

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
    // Row y, to be drawn on between `left` and `right` only (Row(y) may change the whole surface).
    uint32_t* RowToDrawOn(int y, int left, int right);
    uint32_t Pixel(int x, int y) const { return Row(y)[x] & 0xFFFFFF; }
    void SetPixel(int x, int y, uint32_t rgb) { Row(y)[x] = rgb & 0xFFFFFF; }

    // The raw pixel value of an RGB colour in this surface's format.
    uint32_t MapRgb(uint32_t rgb) const;
    void SetColourKey(uint32_t rawValue);
    bool HasColourKey() const;
    uint32_t ColourKey() const;

    // Fills the whole surface, or a rectangle clipped to it, with an RGB colour. The whole fill waits, row
    // by row, until something reads the surface or draws on the row, and is left out wherever a solid
    // copy covers it first (most screens open with a picture as large as the screen, play with a solid
    // background).
    int32_t Fill(uint32_t rgb);
    int32_t FillRect(const TRect& rect, uint32_t rgb);
    // Copies `source` rectangle of `from` to (x, y), keyed or plain. Clipped to both surfaces. A plain
    // copy of a whole picture as large as this surface, made again while that picture has not changed,
    // copies only what was drawn over it since (most screens open with the same picture every frame).
    int32_t BlitFrom(const Surface& from, const TRect& source, int x, int y, bool keyed);
    int32_t BlitWhole(const Surface& from, int x, int y, bool keyed);

    // Notes where this keyed sprite is solid, row by row, so keyed blits copy those stretches and never
    // look at the clear ones. Any later change to the pixels or the key forgets it again.
    void IndexSolidRuns();
    bool HasSolidRuns() const { return !rowFirstRun.empty(); }

    // For reading through the library. The surface then counts as drawn on all over, but a sprite keeps
    // its solid runs: never write a sprite through it.
    SDL_Surface* Native() const;

  private:
    explicit Surface(SDL_Surface* surface);
    uint32_t* RowPixels(int y) const;
    void Changing();
    void ForgetSolidRuns();
    void ApplyWaitingFill() const;
    void FillWaitingStretch(int y) const;
    void SettleWaitingFill(const Surface& from, const TRect& clipped, int x, int y, bool keyed);
    bool RowIsSolid(int y, int left, int right) const;
    void Drawn(const TRect& area) const;
    bool CopyWholePicture(const Surface& from);
    void CopySolidRuns(uint32_t* target, size_t targetPitch, const TRect& clipped) const;

    // The part of a row a waiting fill has still to cover.
    struct Stretch {
        int32_t left;
        int32_t right;
    };

    SDL_Surface* surface;
    const uint64_t identity;      // never shared by two surfaces, unlike an address
    mutable uint64_t version = 0; // counts the changes to the pixels
    // The picture last copied over the whole of this surface, as it was then, and what was drawn over it.
    uint64_t pictureIdentity = 0;
    uint64_t pictureVersion = 0;
    mutable DrawnAreas drawnOverPicture;
    mutable std::vector<Stretch> waitingFill; // a row each, once the surface was filled
    mutable int waitingRows = 0;
    uint32_t waitingFillValue = 0;
    std::vector<uint32_t> rowFirstRun; // the runs of row y are solidRuns[rowFirstRun[y]..rowFirstRun[y + 1])
    std::vector<SolidRun> solidRuns;
};

// RGB helpers: colours are 0x00RRGGBB throughout the program.
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 16) | (g << 8) | b;
}
