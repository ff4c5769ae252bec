#include "main/FrameStats.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

FrameStats::FrameStats() : enabled(std::getenv("VANTORIX_FRAME_STATS") != nullptr) {}

void FrameStats::FrameRun(bool inGame, uint64_t now, uint64_t presents) {
    if (!enabled) return;
    if (frames++ == 0) firstFrame = now;
    if (!inGame) {
        framesSincePresent = 0;
        return;
    }
    if (gameFrames++ == 0) {
        firstGameFrame = now;
        presentsAtFirstGameFrame = presents;
    } else if (presents != presentsAtLastGameFrame) { // the frames since the last one were shown together
        if (framesSincePresent > 0)
            ++framesPerPresent[std::min<uint64_t>(framesSincePresent, FramesPerPresentSlots - 1)];
        framesSincePresent = 0;
    }
    ++framesSincePresent;
    lastGameFrame = now;
    presentsAtLastGameFrame = presents;
}

void FrameStats::Report(uint64_t presents, uint64_t now) const {
    if (!enabled || frames == 0) return;
    const double seconds = static_cast<double>(now - firstFrame) / 1e6;
    const double gameSeconds = static_cast<double>(lastGameFrame - firstGameFrame) / 1e6;
    // Rates over the game's span: what happened after its first frame, over the time between.
    const auto perGameSecond = [gameSeconds](uint64_t count) {
        return gameSeconds > 0 ? static_cast<double>(count) / gameSeconds : 0.0;
    };
    std::fprintf(
        stderr,
        "vantorix frame stats: frames=%llu seconds=%.2f presents=%llu game_frames=%llu game_seconds=%.2f "
        "game_fps=%.1f game_presents_per_s=%.1f\n",
        static_cast<unsigned long long>(frames), seconds, static_cast<unsigned long long>(presents),
        static_cast<unsigned long long>(gameFrames), gameSeconds,
        perGameSecond(gameFrames > 0 ? gameFrames - 1 : 0),
        perGameSecond(presentsAtLastGameFrame - presentsAtFirstGameFrame));
    std::fprintf(stderr, "vantorix frame stats: game frames per present");
    for (int n = 1; n < FramesPerPresentSlots; ++n)
        if (framesPerPresent[n] > 0)
            std::fprintf(stderr, " %d:%llu", n, static_cast<unsigned long long>(framesPerPresent[n]));
    std::fprintf(stderr, "\n");
}
