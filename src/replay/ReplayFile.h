// A recorded game as a file: the build that played it, where it started, what the player did in each
// game frame, and what it claims to have reached. The format is described in docs/REPLAYS.md.
#pragma once

#include "core/GameInput.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct ReplayFrame {
    uint32_t TimeStep = 0; // ms since the frame before (the first frame: since the game's start tick)
    uint8_t Controls = 0;  // GameControlBit bits
    bool operator==(const ReplayFrame&) const = default;
};

// A hash of the whole game state is kept after every this many frames.
inline constexpr uint32_t StateHashInterval = 600;
// Whatever a file says, no more frames than three hours at the frame gate's 200 a second are read.
inline constexpr uint32_t MaxReplayFrames = 200 * 60 * 60 * 3;
// Longer texts than these are refused: a name is far shorter, a version a few characters.
inline constexpr size_t MaxReplayText = 64;
// The largest file read at all (a three-hour game takes well under a megabyte).
inline constexpr size_t MaxReplayFileBytes = 8 * 1024 * 1024;

struct Replay {
    std::string GameVersion;
    uint64_t PackHash = 0;
    uint32_t StartSeed = 0;   // the random generator's state as the game began
    uint32_t StartTick = 0;   // the clock as the game began
    uint32_t PlayOptions = 0; // the options that change play, as bits
    std::string PlayerName;
    // What the game claims to have reached.
    int32_t Score = 0;
    uint32_t Stage = 0;
    uint64_t FinalHash = 0;
    std::vector<ReplayFrame> Frames;
    std::vector<uint64_t> StateHashes; // after frame 600, 1200, ... (Frames.size() / 600 of them)
};

struct ReplayReadResult {
    std::optional<Replay> Read;
    std::string Error; // one sentence when Read is empty
};

std::vector<uint8_t> WriteReplay(const Replay& replay);
ReplayReadResult ReadReplay(std::span<const uint8_t> bytes);

// A whole file, at most MaxReplayFileBytes; the error names the file.
ReplayReadResult LoadReplayFile(const std::filesystem::path& path);
