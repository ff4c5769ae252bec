#include "platform/Surface.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

constexpr uint32_t ColourBits = 0xFFFFFF; // the unused top byte never takes part in the key

using PixelGroup = uint32_t __attribute__((vector_size(32)));
constexpr int GroupPixels = sizeof(PixelGroup) / sizeof(uint32_t);

// A copy of a size known here, which the compiler turns into a few vector moves.
template <int Pixels> void CopyGroup(uint32_t* to, const uint32_t* from) {
    std::memcpy(to, from, Pixels * sizeof(uint32_t));
}

// Most solid runs of a sprite row are short, where a call to the C library's copy costs more than the
// copy: groups of eight, the last one overlapping the one before, and the library only for long rows.
[[gnu::always_inline]] inline void CopyPixels(uint32_t* to, const uint32_t* from, int count) {
    constexpr int LongRun = 64;
    if (count >= LongRun) {
        std::memcpy(to, from, static_cast<size_t>(count) * 4);
    } else if (count >= GroupPixels) {
        for (int x = 0; x < count - GroupPixels; x += GroupPixels)
            CopyGroup<GroupPixels>(to + x, from + x);
        CopyGroup<GroupPixels>(to + count - GroupPixels, from + count - GroupPixels);
    } else if (count >= 4) {
        CopyGroup<4>(to, from);
        CopyGroup<4>(to + count - 4, from + count - 4);
    } else {
        for (int x = 0; x < count; ++x)
            to[x] = from[x];
    }
}

// With the C library's stores (the clear of every frame comes here); the library's own fill is slower on
// wide rows.
void FillPixels(uint32_t* pixels, int count, uint32_t value) {
    if (value == 0)
        std::memset(pixels, 0, static_cast<size_t>(count) * 4);
    else
        std::fill_n(pixels, count, value);
}

uint64_t NextSurfaceIdentity() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

} // namespace

std::unique_ptr<Surface> Surface::Create(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    SDL_Surface* native = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    if (!native) return nullptr;
    SDL_SetSurfaceBlendMode(native, SDL_BLENDMODE_NONE);
    return std::unique_ptr<Surface>(new Surface(native));
}

Surface::Surface(SDL_Surface* surface) : surface(surface), identity(NextSurfaceIdentity()) {}

Surface::~Surface() {
    SDL_FreeSurface(surface);
}

int Surface::Width() const {
    return surface->w;
}
int Surface::Height() const {
    return surface->h;
}

uint32_t* Surface::RowPixels(int y) const {
    return static_cast<uint32_t*>(surface->pixels) + static_cast<size_t>(y) * (surface->pitch / 4);
}

uint32_t* Surface::Row(int y) {
    Changing();
    Drawn(TRect{0, 0, Width(), Height()});
    return RowPixels(y);
}

uint32_t* Surface::RowToDrawOn(int y, int left, int right) {
    if (waitingRows > 0) FillWaitingStretch(y);
    ForgetSolidRuns();
    Drawn(TRect{left, y, right, y + 1});
    return RowPixels(y);
}
const uint32_t* Surface::Row(int y) const {
    if (waitingRows > 0) ApplyWaitingFill();
    return RowPixels(y);
}

SDL_Surface* Surface::Native() const {
    if (waitingRows > 0) ApplyWaitingFill();
    Drawn(TRect{0, 0, Width(), Height()}); // the library may write through it
    return surface;
}

void Surface::Drawn(const TRect& area) const {
    ++version;
    drawnOverPicture.Add(area);
}

// Everything that may write the pixels or change the key from outside comes through here first.
void Surface::Changing() {
    if (waitingRows > 0) ApplyWaitingFill();
    ForgetSolidRuns();
}

void Surface::ForgetSolidRuns() {
    if (!HasSolidRuns()) return;
    rowFirstRun.clear();
    solidRuns.clear();
}

void Surface::ApplyWaitingFill() const {
    for (int y = 0; y < Height() && waitingRows > 0; ++y)
        FillWaitingStretch(y);
}

void Surface::FillWaitingStretch(int y) const {
    Stretch& stretch = waitingFill[static_cast<size_t>(y)];
    if (stretch.left >= stretch.right) return;
    FillPixels(RowPixels(y) + stretch.left, stretch.right - stretch.left, waitingFillValue);
    Drawn(TRect{stretch.left, y, stretch.right, y + 1});
    stretch.left = stretch.right;
    --waitingRows;
}

// Before a copy onto rows y.. of this surface: where the copy is solid over one end of a row's waiting
// stretch, that part needs no filling any more; any other row it touches is filled now.
void Surface::SettleWaitingFill(const Surface& from, const TRect& clipped, int x, int y, bool keyed) {
    const int drawLeft = x;
    const int drawRight = x + clipped.Width();
    for (int row = 0; row < clipped.Height() && waitingRows > 0; ++row) {
        Stretch& stretch = waitingFill[static_cast<size_t>(y + row)];
        if (stretch.left >= stretch.right || drawRight <= stretch.left || drawLeft >= stretch.right) continue;
        const bool solid = !keyed || from.RowIsSolid(clipped.top + row, clipped.left, clipped.right);
        if (solid && drawLeft <= stretch.left)
            stretch.left = std::min(drawRight, stretch.right);
        else if (solid && drawRight >= stretch.right)
            stretch.right = drawLeft;
        else {
            FillWaitingStretch(y + row);
            continue;
        }
        if (stretch.left >= stretch.right) --waitingRows;
    }
}

// Whether row y of this sprite has no key pixel between left and right (known only from its solid runs).
bool Surface::RowIsSolid(int y, int left, int right) const {
    if (!HasSolidRuns()) return false;
    const SolidRun* run = solidRuns.data() + rowFirstRun[static_cast<size_t>(y)];
    const SolidRun* end = solidRuns.data() + rowFirstRun[static_cast<size_t>(y) + 1];
    for (; run != end && run->start <= left; ++run)
        if (run->start + run->length >= right) return true;
    return false;
}

uint32_t Surface::MapRgb(uint32_t rgb) const {
    return SDL_MapRGB(surface->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void Surface::SetColourKey(uint32_t rawValue) {
    Changing();
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
    ForgetSolidRuns();
    waitingFill.assign(static_cast<size_t>(Height()), Stretch{0, Width()});
    waitingRows = Height();
    waitingFillValue = MapRgb(rgb);
    ++version;
    return BlitOk;
}

int32_t Surface::FillRect(const TRect& rect, uint32_t rgb) {
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = std::min(rect.right, Width());
    const int bottom = std::min(rect.bottom, Height());
    if (rect.Width() <= 0 || rect.Height() <= 0) return BlitFailed;
    if (right <= left || bottom <= top) return BlitOk; // wholly outside: nothing to fill
    const uint32_t value = MapRgb(rgb);
    for (int y = top; y < bottom; ++y)
        FillPixels(RowToDrawOn(y, left, right) + left, right - left, value);
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

// The solid stretches of the clipped rectangle, each one copied as it stands: no pixel is tested and the
// target is never read.
__attribute__((target_clones("avx2", "default"))) void CopyRunRows(uint32_t* target, size_t targetPitch,
                                                                   const uint32_t* pixels, size_t pitch,
                                                                   const uint32_t* rowFirstRun,
                                                                   const SolidRun* runs, TRect clipped) {
    for (int y = clipped.top; y < clipped.bottom; ++y, target += targetPitch) {
        const uint32_t* source = pixels + static_cast<size_t>(y) * pitch;
        const SolidRun* run = runs + rowFirstRun[y];
        const SolidRun* end = runs + rowFirstRun[y + 1];
        for (; run != end && run->start < clipped.right; ++run) {
            const int from = std::max<int>(run->start, clipped.left);
            const int to = std::min<int>(run->start + run->length, clipped.right);
            if (from < to) CopyPixels(target + (from - clipped.left), source + from, to - from);
        }
    }
}

} // namespace

int32_t Surface::BlitFrom(const Surface& from, const TRect& source, int x, int y, bool keyed) {
    TRect clipped = source;
    if (!ClipBlit(clipped, x, y, from.Width(), from.Height(), Width(), Height())) return BlitFailed;
    const bool useKey = keyed && from.HasColourKey();
    const bool wholePicture = x == 0 && y == 0 && clipped == TRect{0, 0, Width(), Height()};
    if (!useKey && wholePicture && CopyWholePicture(from)) return BlitOk;
    if (&from == this) Changing(); // a copy onto itself sees every pixel as it is, and no runs
    if (waitingRows > 0) SettleWaitingFill(from, clipped, x, y, useKey);
    ForgetSolidRuns();
    Drawn(MakeRect(x, y, clipped.Width(), clipped.Height()));
    const size_t targetPitch = static_cast<size_t>(surface->pitch) / 4;
    uint32_t* const to = RowPixels(y) + x;
    if (useKey && from.HasSolidRuns()) {
        from.CopySolidRuns(to, targetPitch, clipped);
        return BlitOk;
    }
    if (useKey) {
        KeyedRows(to, targetPitch, from.Row(clipped.top) + clipped.left,
                  static_cast<size_t>(from.surface->pitch) / 4, clipped.Width(), clipped.Height(),
                  from.ColourKey());
        return BlitOk;
    }
    // A plain copy: both surfaces share one pixel format, so rows copy as they are.
    const size_t rowBytes = static_cast<size_t>(clipped.Width()) * 4;
    const bool wholeRows = x == 0 && clipped.left == 0 && rowBytes == static_cast<size_t>(surface->pitch) &&
                           rowBytes == static_cast<size_t>(from.surface->pitch);
    if (wholeRows && &from != this) { // one copy of the whole band is much faster than one a row
        std::memcpy(to, from.Row(clipped.top), rowBytes * static_cast<size_t>(clipped.Height()));
        return BlitOk;
    }
    for (int row = 0; row < clipped.Height(); ++row)
        std::memcpy(to + row * targetPitch, from.Row(clipped.top + row) + clipped.left, rowBytes);
    return BlitOk;
}

// `from` is as large as this surface and covers it whole. When it is the picture this surface last took
// whole, unchanged since, only what was drawn over that picture is copied again.
bool Surface::CopyWholePicture(const Surface& from) {
    if (&from == this || from.Width() != Width() || from.Height() != Height() ||
        from.surface->pitch != surface->pitch)
        return false;
    if (from.waitingRows > 0) from.ApplyWaitingFill();
    const bool sameAsBefore = pictureIdentity == from.identity && pictureVersion == from.version;
    waitingRows = 0; // no waiting stretch is left uncovered
    ForgetSolidRuns();
    if (sameAsBefore) {
        for (const TRect& area : drawnOverPicture.Areas()) {
            const TRect part = Intersection(area, TRect{0, 0, Width(), Height()});
            for (int y = part.top; y < part.bottom; ++y)
                std::memcpy(RowPixels(y) + part.left, from.RowPixels(y) + part.left,
                            static_cast<size_t>(part.Width()) * 4);
        }
    } else {
        std::memcpy(RowPixels(0), from.RowPixels(0), static_cast<size_t>(surface->pitch) * Height());
    }
    ++version;
    pictureIdentity = from.identity;
    pictureVersion = from.version;
    drawnOverPicture.Clear();
    return true;
}

int32_t Surface::BlitWhole(const Surface& from, int x, int y, bool keyed) {
    return BlitFrom(from, TRect{0, 0, from.Width(), from.Height()}, x, y, keyed);
}

void Surface::IndexSolidRuns() {
    Changing();
    constexpr int WidestIndexed = UINT16_MAX; // runs are noted in 16 bits
    if (!HasColourKey() || Width() > WidestIndexed) return;
    const uint32_t key = ColourKey() & ColourBits;
    const int width = Width();
    const int height = Height();
    rowFirstRun.reserve(static_cast<size_t>(height) + 1);
    for (int y = 0; y < height; ++y) {
        rowFirstRun.push_back(static_cast<uint32_t>(solidRuns.size()));
        const uint32_t* row = RowPixels(y);
        int x = 0;
        while (x < width) {
            while (x < width && (row[x] & ColourBits) == key)
                ++x;
            const int start = x;
            while (x < width && (row[x] & ColourBits) != key)
                ++x;
            if (x > start)
                solidRuns.push_back({static_cast<uint16_t>(start), static_cast<uint16_t>(x - start)});
        }
    }
    rowFirstRun.push_back(static_cast<uint32_t>(solidRuns.size()));
}

void Surface::CopySolidRuns(uint32_t* target, size_t targetPitch, const TRect& clipped) const {
    CopyRunRows(target, targetPitch, RowPixels(0), static_cast<size_t>(surface->pitch) / 4,
                rowFirstRun.data(), solidRuns.data(), clipped);
}
