// Records a game while it is played: the rules it follows, where it started, each frame's controls as
// the game was handed them, and the game's state hash after every StateHashInterval frames. The shell feeds
// it; the finished recording is a Replay.
#pragma once

#include "replay/ReplayFile.h"

#include <cstdint>
#include <string>
#include <utility>

// Where a recorded game starts, and the rules it follows (see Replay).
struct ReplayStart {
    uint32_t RulesVersion = 0;
    uint64_t RulesHash = 0;
    std::string GameVersion;
    uint32_t StartSeed = 0;
    std::string StartTicket;
    uint32_t PlayOptions = 0;
};

class ReplayRecorder {
  public:
    // Forgets any recording and begins a new one; room for twenty minutes of frames is made now, so the
    // frames of an ordinary game never wait for memory.
    void Start(const ReplayStart& start);
    bool Recording() const { return recording; }

    // The frame just run, with the controls (GameControlBit bits) the game was given. A game longer than
    // a replay can hold stops being recorded (Overflowed) and is never kept.
    void RecordFrame(uint8_t controls);
    // After RecordFrame: the game's state hash is wanted now.
    bool StateHashDue() const;
    void AddStateHash(uint64_t hash);
    bool Overflowed() const { return overflowed; }

    // The recording as a replay claiming what the game reached; recording stops.
    Replay Finish(const std::string& playerName, int32_t score, uint32_t stage, uint64_t finalHash);
    void Stop() { recording = false; }

  private:
    Replay replay;
    bool recording = false;
    bool overflowed = false;
};
