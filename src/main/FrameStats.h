// Counts what the frame loop does, for the play measurement of the benchmarks: with VANTORIX_FRAME_STATS
// set in the environment, one line goes to stderr when the program ends (game frames per second while
// a game ran, and presents per second), with how many game frames each present of a game showed.
#pragma once

#include <cstdint>

class FrameStats {
  public:
    // Reads the environment once; nothing is counted without the switch.
    FrameStats();
    // `presents` is the display's count of presents so far.
    void FrameRun(bool inGame, uint64_t nowMicroseconds, uint64_t presents);
    void Report(uint64_t presents, uint64_t nowMicroseconds) const;

  private:
    bool enabled = false;
    uint64_t frames = 0;
    uint64_t gameFrames = 0;
    uint64_t firstFrame = 0;
    uint64_t firstGameFrame = 0;
    uint64_t lastGameFrame = 0;
    uint64_t presentsAtFirstGameFrame = 0;
    uint64_t presentsAtLastGameFrame = 0;
    // framesPerPresent[n]: presents of a game that showed n game frames (the last slot: that many or more).
    static constexpr int FramesPerPresentSlots = 8;
    uint64_t framesPerPresent[FramesPerPresentSlots] = {};
    uint64_t framesSincePresent = 0;
};
