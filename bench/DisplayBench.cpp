// What the player feels of the drawing layer: a keyed sprite blit, a full clear, and a present.
#include "graphics/Blit.h"
#include "platform/Display.h"
#include "platform/PlatformSession.h"
#include "platform/Surface.h"

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

void BM_DrawSpriteKeyedTile(benchmark::State& state) {
    auto back = Surface::Create(800, 600);
    auto tile = MakeKeyedTile();
    const TRect whole{0, 0, 300, 200};
    for (auto _ : state)
        benchmark::DoNotOptimize(DrawSprite(tile, *back, whole, 250, 200));
}
BENCHMARK(BM_DrawSpriteKeyedTile);

void BM_ClearBackBuffer(benchmark::State& state) {
    auto back = Surface::Create(800, 600);
    for (auto _ : state)
        benchmark::DoNotOptimize(back->Fill(0));
}
BENCHMARK(BM_ClearBackBuffer);

void BM_Present(benchmark::State& state) {
    const PlatformSession platform;
    Display display;
    if (!display.Open("VANTORIX bench")) {
        state.SkipWithError("no display");
        return;
    }
    display.Setup(true);
    auto back = Surface::Create(800, 600);
    for (auto _ : state)
        benchmark::DoNotOptimize(display.Present(*back));
}
BENCHMARK(BM_Present)->Unit(benchmark::kMicrosecond);

} // namespace
