// A menu frame as the player sees it: the high-score screen (about forty strings over the menu
// picture) and a single title string.
#include "core/ScreenState.h"
#include "graphics/Text.h"
#include "main/Form.h"
#include "main/Screens.h"
#include "platform/Clock.h"
#include "platform/PlatformSession.h"

#include <benchmark/benchmark.h>

namespace {

void BM_HiScoreScreenFrame(benchmark::State& state) {
    {
        const PlatformSession platform;
        TForm1 form;
        if (!form.FormCreate()) {
            state.SkipWithError("the game could not start here (run from the build folder)");
            return;
        }
        ScreenState = ScreenHiScores;
        for (auto _ : state) {
            form.ClearBackBuffer();
            StepShellScreen();
            DrawShellScreen(Canvas{*form.BackBuffer, *form.SavedScreen}, ScreenHiScores, AnimCounter);
        }
        form.FormDestroy();
    }
    FirstStart = true;
}
BENCHMARK(BM_HiScoreScreenFrame)->Unit(benchmark::kMicrosecond);

void BM_DrawTitleText(benchmark::State& state) {
    auto target = Surface::Create(800, 600);
    for (auto _ : state)
        DrawTitleText(254, 252, 24, 15, "Can not connect to", *target, ColourRed);
}
BENCHMARK(BM_DrawTitleText)->Unit(benchmark::kMicrosecond);

} // namespace
