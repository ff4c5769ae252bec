// A recorded game played again: a game made from the replay's start seed, then each recorded frame's
// controls handed to it in turn. The headless check and the watching screen both play replays through
// it; neither draws unless it wants a picture.
#pragma once

#include "replay/ReplayFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct TGame;
class Surface;

class ReplayPlayer {
  public:
    explicit ReplayPlayer(const Replay& replay);
    ~ReplayPlayer();
    ReplayPlayer(const ReplayPlayer&) = delete;
    ReplayPlayer& operator=(const ReplayPlayer&) = delete;

    bool Done() const { return next >= replay.Frames.size(); }
    // Runs the next recorded frame (a step of the game, nothing drawn).
    void StepNextFrame();
    size_t FramesRun() const { return next; }
    // The game as it stands, as bytes (its snapshot), and back: the game becomes the one the snapshot
    // was taken of after `framesRun` frames. False when the bytes are not such a snapshot (the player
    // then starts the replay again).
    std::vector<uint8_t> Snapshot() const;
    bool Restore(size_t framesRun, std::span<const uint8_t> snapshot);
    const TGame& Game() const { return *game; }
    const Replay& Recorded() const { return replay; }

  private:
    const Replay& replay;
    std::unique_ptr<TGame> game;
    size_t next = 0;
};
