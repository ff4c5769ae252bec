// A recorded game as a file: the rules it was played by, where it started, what the player did in each
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

// One game frame: only what the player did. Every frame is GameFrameMs of game time, so no time is kept.
struct ReplayFrame {
    uint8_t Controls = 0; // GameControlBit bits (AllFrameInputBits at most)
    bool operator==(const ReplayFrame&) const = default;
};

// A hash of the whole game state is kept after every this many frames.
inline constexpr uint32_t StateHashInterval = 600;
// Whatever a file says, no more frames than this are read: three hours of 6 ms game frames.
inline constexpr uint32_t MaxReplayFrames = 1'800'000;
// Longer texts than these are refused: a name is far shorter, a version a few characters.
inline constexpr size_t MaxReplayText = 64;
// Room for the score server's signed start.
inline constexpr size_t MaxStartTicketBytes = 512;
// The largest file read at all (a three-hour game takes well under a megabyte).
inline constexpr size_t MaxReplayFileBytes = 8 * 1024 * 1024;

// Option bits a replay may carry; every other bit must be zero (a file with an unknown bit is refused as
// recorded by another version). None changes play yet: bit 0 is kept for the slower game speed.
inline constexpr uint32_t PlayOptionSlowerGame = 1;
inline constexpr uint32_t KnownPlayOptions = PlayOptionSlowerGame;

struct Replay {
    uint32_t RulesVersion = 0; // the rules the game was played by (changed only when rules change)
    uint64_t RulesHash = 0;    // a hash of the tables the rules read
    std::string GameVersion;   // the release that recorded it, for people; never compared
    uint32_t StartSeed = 0;    // the game's random generator as the game began
    std::string StartTicket;   // the score server's signed start, empty for an own-start game (bytes)
    uint32_t PlayOptions = 0;
    std::string PlayerName;
    // What the game claims to have reached.
    int32_t Score = 0;
    uint32_t Stage = 0;
    uint64_t FinalHash = 0;
    std::vector<ReplayFrame> Frames;
    std::vector<uint64_t> StateHashes; // after frame 600, 1200, ... (Frames.size() / 600 of them)
    bool operator==(const Replay&) const = default;
};

enum class ReplayReadError : uint8_t { None, Damaged, OtherFormat, Missing };

struct ReplayReadResult {
    std::optional<Replay> Read;
    std::string Error;                            // one sentence when Read is empty
    ReplayReadError Kind = ReplayReadError::None; // OtherFormat: a valid magic with another format
                                                  // version (format 1 files), or unknown option bits
};

std::vector<uint8_t> WriteReplay(const Replay& replay);
ReplayReadResult ReadReplay(std::span<const uint8_t> bytes);

// A whole file, at most MaxReplayFileBytes; the error names the file. Missing when there is no file.
ReplayReadResult LoadReplayFile(const std::filesystem::path& path);

// Whose game a replay file holds and the score it claims, read from the start of the file alone. It is
// read from every format this game has written, so a kept file that can no longer be watched (format 1,
// or unknown option bits) still belongs to its table row.
struct ReplayClaim {
    std::string PlayerName;
    int32_t Score = 0;
};
std::optional<ReplayClaim> ReadReplayClaim(std::span<const uint8_t> bytes);
std::optional<ReplayClaim> LoadReplayClaim(const std::filesystem::path& path);
