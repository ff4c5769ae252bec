// What the player feels of the drawing layer: keyed sprite blits (ours against the library's plain and
// run-length encoded ones), a full clear, and a present on each present path.
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"
#include "platform/Display.h"
#include "platform/PlatformSession.h"
#include "platform/Surface.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<Surface> MakeKeyedTile() {
    auto tile = Surface::Create(300, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            tile->SetPixel(x, y, ((x / 8 + y / 8) % 3 == 0) ? Rgb(255, 0, 255) : Rgb(x, y, 90));
    tile->SetColourKey(tile->MapRgb(Rgb(255, 0, 255)));
    return tile;
}

// Ours, testing every pixel (arg 0) or copying the solid runs noted at load, as the sprite store does (1).
void BM_DrawSpriteKeyedTile(benchmark::State& state) {
    auto back = Surface::Create(800, 600);
    auto tile = MakeKeyedTile();
    if (state.range(0) == 1) tile->IndexSolidRuns();
    const TRect whole{0, 0, 300, 200};
    for (auto _ : state)
        benchmark::DoNotOptimize(DrawSprite(tile, *back, whole, 250, 200));
}
BENCHMARK(BM_DrawSpriteKeyedTile)->ArgName("runs")->Arg(0)->Arg(1);

// The library's own keyed blit of the same tile, plain (arg 0) or run-length encoded (arg 1).
void BM_LibraryKeyedTile(benchmark::State& state) {
    auto back = Surface::Create(800, 600);
    auto tile = MakeKeyedTile();
    SDL_SetSurfaceRLE(tile->Native(), state.range(0));
    SDL_Rect place{250, 200, 0, 0};
    for (auto _ : state) {
        SDL_Rect target = place;
        benchmark::DoNotOptimize(SDL_BlitSurface(tile->Native(), nullptr, back->Native(), &target));
    }
}
BENCHMARK(BM_LibraryKeyedTile)->ArgName("rle")->Arg(0)->Arg(1);

// The heaviest sprite of play, the boss beam (75 x 420, mostly transparent), drawn ours (from the runs the
// store noted) / the library's plain keyed blit / its RLE blit.
void BM_BeamSprite(benchmark::State& state) {
    try {
        LoadSpriteStore();
    } catch (const std::exception& error) {
        state.SkipWithError(error.what()); // run from the build folder, where Data/Data.pp is made
        return;
    }
    auto back = Surface::Create(800, 600);
    Surface& beam = *GameSprites[FirstShotRecord + 10];
    const int way = static_cast<int>(state.range(0));
    if (way == 2) SDL_SetSurfaceRLE(beam.Native(), 1);
    SDL_Rect frame{0, 0, 75, 420};
    for (auto _ : state) {
        if (way == 0) {
            benchmark::DoNotOptimize(DrawSprite(&beam, *back, TRect{0, 0, 75, 420}, 300, 100));
        } else {
            SDL_Rect target{300, 100, 0, 0};
            benchmark::DoNotOptimize(SDL_BlitSurface(beam.Native(), &frame, back->Native(), &target));
        }
    }
    FreeSpriteStore();
}
BENCHMARK(BM_BeamSprite)->ArgName("ours0_plain1_rle2")->Arg(0)->Arg(1)->Arg(2);

// A clear that nothing drawn covers: it waits, and is done when the picture is read (as the present does).
void BM_ClearBackBuffer(benchmark::State& state) {
    auto back = Surface::Create(800, 600);
    for (auto _ : state) {
        back->Fill(0);
        benchmark::DoNotOptimize(back->Pixel(0, 0));
    }
}
BENCHMARK(BM_ClearBackBuffer);

// A present of a frame whose every row changed, on each path in a window at 1:1 (arg: 0 window surface,
// 1 renderer, 2 software renderer). Under a real X server (scripts/bench runs this under Xvfb) this is
// the figure the path is chosen by; with the dummy driver it only counts the copies.
void BM_Present(benchmark::State& state) {
    const PlatformSession platform;
    Display display;
    if (!display.Open("VANTORIX bench")) {
        state.SkipWithError("no display");
        return;
    }
    display.SetWindowedPath(static_cast<PresentPath>(state.range(0)));
    display.Setup(true);
    auto back = Surface::Create(800, 600);
    uint32_t shade = 0;
    for (auto _ : state) {
        ++shade;
        for (int y = 0; y < 600; ++y)
            back->Row(y)[y] = shade; // every row differs from the picture shown
        benchmark::DoNotOptimize(display.Present(*back));
    }
    if (display.Path() != static_cast<PresentPath>(state.range(0))) state.SkipWithError("path not available");
}
BENCHMARK(BM_Present)
    ->ArgName("surface0_renderer1_software2")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond);

// A present of a frame equal to the one shown: the row comparison alone, nothing is sent.
void BM_PresentUnchanged(benchmark::State& state) {
    const PlatformSession platform;
    Display display;
    if (!display.Open("VANTORIX bench")) {
        state.SkipWithError("no display");
        return;
    }
    display.Setup(true);
    auto back = Surface::Create(800, 600);
    display.Present(*back);
    for (auto _ : state)
        benchmark::DoNotOptimize(display.Present(*back));
}
BENCHMARK(BM_PresentUnchanged)->Unit(benchmark::kMicrosecond);

// Start-up's share of the sprite store: the pack read, every picture decoded, derived and indexed.
void BM_LoadSpriteStore(benchmark::State& state) {
    for (auto _ : state) {
        try {
            LoadSpriteStore();
        } catch (const std::exception& error) {
            state.SkipWithError(error.what()); // run from the build folder, where Data/Data.pp is made
            return;
        }
        state.PauseTiming();
        FreeSpriteStore();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadSpriteStore)->Unit(benchmark::kMillisecond);

} // namespace
