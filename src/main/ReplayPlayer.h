// A recorded game played again: the generator and the clock set as they were when it began, then each
// recorded frame's input handed to the game in turn. The headless check and the watching screen both
// play replays through it.
#pragma once

#include "replay/ReplayFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>

struct TGame;
class Surface;

class ReplayPlayer {
  public:
    // Takes the replay's start: the program's random generator is set to it.
    explicit ReplayPlayer(const Replay& replay);
    ~ReplayPlayer();
    ReplayPlayer(const ReplayPlayer&) = delete;
    ReplayPlayer& operator=(const ReplayPlayer&) = delete;

    bool Done() const { return next >= replay.Frames.size(); }
    // Runs the next recorded frame, drawing on `target` (an unseen one draws nothing).
    void RunNextFrame(Surface& target);
    size_t FramesRun() const { return next; }
    // The time step of the frame that runs next (0 when done).
    uint32_t NextTimeStep() const { return TimeStepAhead(0); }
    // The time step of the frame `ahead` frames after the next (0 past the end).
    uint32_t TimeStepAhead(size_t ahead) const {
        return next + ahead < replay.Frames.size() ? replay.Frames[next + ahead].TimeStep : 0;
    }
    const TGame& Game() const { return *game; }
    const Replay& Recorded() const { return replay; }

  private:
    const Replay& replay;
    std::unique_ptr<TGame> game;
    size_t next = 0;
    uint32_t tick = 0;
};
