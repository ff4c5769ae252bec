// Checking a replay without a screen: its game's frames run again with this build's rules, no window,
// no sound and no picture (steps only), and what they reach is held against what the file claims. The
// command line's --verify prints the verdict as one line of JSON (see docs/REPLAYS.md).
#pragma once

#include "replay/ReplayFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class ReplayVerdict { Verified, Mismatch, OtherBuild, Unreadable };

struct ReplayCheck {
    ReplayVerdict verdict = ReplayVerdict::Unreadable;
    std::string reason;           // empty when verified
    std::optional<Replay> replay; // the file as read, without its frames
    uint64_t claimedFrames = 0;   // how many frames it held
    // What the rules reached, once they ran.
    bool replayed = false;
    int32_t score = 0;
    uint32_t stage = 0;
    uint64_t frames = 0;
    uint64_t playedMs = 0; // game time: GameFrameMs a frame
    uint64_t finalHash = 0;
    std::optional<uint64_t> firstMismatchFrame;
    bool endedEarly = false; // the game was over before the replay's last frame
};

// The rules a replay must follow to be played here.
struct BuildIdentity {
    uint32_t rulesVersion = 0;
    uint64_t rulesHash = 0;
};
// This build's rules.
BuildIdentity ThisBuild();

// Why a replay cannot be played by this build (other rules or other rule tables), or nothing.
std::optional<std::string> OtherBuildReason(const Replay& replay, const BuildIdentity& build);
// Plays `replay` again, steps only, and compares every kept hash and claim.
ReplayCheck CheckReplay(Replay replay, const BuildIdentity& build);
// The check's one JSON line (no newline).
std::string ReplayCheckJson(const ReplayCheck& check);
// 0 verified, 1 mismatch, 2 another build or an unreadable file.
int ReplayCheckStatus(const ReplayCheck& check);

// `vantorix --verify FILE` (FILE "-" reads standard input): prints the line, returns the exit status.
int RunReplayCheckCommand(const std::string& file);
