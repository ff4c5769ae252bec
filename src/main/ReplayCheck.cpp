#include "main/ReplayCheck.h"

#include "Game/GameSnapshot.h"
#include "Game/RulesIdentity.h"
#include "Game/TGame.h"
#include "main/ReplayPlayer.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

ReplayCheck Refused(ReplayVerdict verdict, std::string reason) {
    ReplayCheck check;
    check.verdict = verdict;
    check.reason = std::move(reason);
    return check;
}

// The file's claims stay with the verdict; its frames are no longer needed.
void KeepClaims(ReplayCheck& check, Replay&& replay) {
    check.claimedFrames = replay.Frames.size();
    replay.Frames = {};
    check.replay = std::move(replay);
}

// The first claim the re-play does not bear out, in the order a reader would look for it.
std::string MismatchReason(const ReplayCheck& check, const Replay& replay) {
    if (check.firstMismatchFrame && *check.firstMismatchFrame < check.frames)
        return "the game's state differs from the recording after frame " +
               std::to_string(*check.firstMismatchFrame);
    if (check.endedEarly)
        return "the game is over after frame " + std::to_string(check.frames) +
               ", before the replay's last frame";
    if (check.finalHash != replay.FinalHash) return "the game's state differs from the recording at its end";
    if (check.score != replay.Score)
        return "the game reaches a score of " + std::to_string(check.score) + ", not " +
               std::to_string(replay.Score);
    if (check.stage != replay.Stage)
        return "the game reaches stage " + std::to_string(check.stage) + ", not " +
               std::to_string(replay.Stage);
    return {};
}

void PlayAgain(ReplayCheck& check, const Replay& replay) {
    ReplayPlayer player(replay);
    size_t nextKeptHash = 0;
    while (!player.Done()) {
        player.StepNextFrame();
        if (player.FramesRun() % StateHashInterval == 0 && nextKeptHash < replay.StateHashes.size()) {
            if (!check.firstMismatchFrame && GameStateHash(player.Game()) != replay.StateHashes[nextKeptHash])
                check.firstMismatchFrame = player.FramesRun();
            ++nextKeptHash;
        }
        // A recording ends with the frame that finished its game: frames after it were made up.
        if (player.Game().Finished && !player.Done()) {
            check.endedEarly = true;
            if (!check.firstMismatchFrame) check.firstMismatchFrame = player.FramesRun();
            break;
        }
    }
    const TGame& game = player.Game();
    check.replayed = true;
    check.frames = player.FramesRun();
    check.playedMs = check.frames * GameFrameMs;
    check.score = game.Score;
    check.stage = game.StageNumber;
    check.finalHash = GameStateHash(game);
    if (!check.firstMismatchFrame && check.finalHash != replay.FinalHash)
        check.firstMismatchFrame = check.frames;
}

// Text as a JSON string: quotes, backslashes and control characters escaped, and every byte outside
// ASCII as \u00XX (a name's bytes are not promised to be UTF-8).
void AppendJsonText(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string HexHash(uint64_t hash) {
    char text[20];
    std::snprintf(text, sizeof text, "\"%016" PRIx64 "\"", hash);
    return text;
}

const char* VerdictWord(ReplayVerdict verdict) {
    switch (verdict) {
    case ReplayVerdict::Verified:
        return "verified";
    case ReplayVerdict::Mismatch:
        return "mismatch";
    case ReplayVerdict::OtherBuild:
        return "other-build";
    case ReplayVerdict::Unreadable:
        return "unreadable";
    }
    return "unreadable";
}

// Reads a replay's bytes from a file or, for "-", from standard input, no more than a replay may hold.
ReplayReadResult ReadReplayFrom(const std::string& file) {
    if (file != "-") return LoadReplayFile(file);
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return {std::nullopt, "cannot read standard input", ReplayReadError::Damaged};
        if (got == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (bytes.size() > MaxReplayFileBytes)
            return {std::nullopt, "standard input holds more than any replay can", ReplayReadError::Damaged};
    }
    return ReadReplay(bytes);
}

} // namespace

BuildIdentity ThisBuild() {
    return {RulesVersion, RulesHash()};
}

std::optional<std::string> OtherBuildReason(const Replay& replay, const BuildIdentity& build) {
    if (replay.RulesVersion != build.rulesVersion)
        return "the replay follows rules version " + std::to_string(replay.RulesVersion) +
               ", this build plays rules version " + std::to_string(build.rulesVersion);
    if (replay.RulesHash != build.rulesHash)
        return std::string("the replay was recorded with other rule tables");
    return std::nullopt;
}

ReplayCheck CheckReplay(Replay replay, const BuildIdentity& build) {
    if (const std::optional<std::string> reason = OtherBuildReason(replay, build)) {
        ReplayCheck check = Refused(ReplayVerdict::OtherBuild, *reason);
        KeepClaims(check, std::move(replay));
        return check;
    }
    ReplayCheck check;
    PlayAgain(check, replay);
    check.reason = MismatchReason(check, replay);
    check.verdict = check.reason.empty() ? ReplayVerdict::Verified : ReplayVerdict::Mismatch;
    KeepClaims(check, std::move(replay));
    return check;
}

std::string ReplayCheckJson(const ReplayCheck& check) {
    const Replay* replay = check.replay ? &*check.replay : nullptr;
    const auto number = [](auto value) { return std::to_string(value); };
    std::string out = "{\"verdict\":\"";
    out += VerdictWord(check.verdict);
    out += "\",\"reason\":";
    AppendJsonText(out, check.reason);
    out += ",\"game_version\":";
    if (replay)
        AppendJsonText(out, replay->GameVersion);
    else
        out += "null";
    out += ",\"rules_version\":" + (replay ? number(replay->RulesVersion) : "null");
    out += ",\"rules_hash\":" + (replay ? HexHash(replay->RulesHash) : "null");
    out += ",\"name\":";
    if (replay)
        AppendJsonText(out, replay->PlayerName);
    else
        out += "null";
    out += ",\"claimed_score\":" + (replay ? number(replay->Score) : "null");
    out += ",\"claimed_stage\":" + (replay ? number(replay->Stage) : "null");
    out += ",\"claimed_frames\":" + (replay ? number(check.claimedFrames) : "null");
    out += ",\"score\":" + (check.replayed ? number(check.score) : "null");
    out += ",\"stage\":" + (check.replayed ? number(check.stage) : "null");
    out += ",\"frames\":" + (check.replayed ? number(check.frames) : "null");
    out += ",\"played_ms\":" + (check.replayed ? number(check.playedMs) : "null");
    out += ",\"final_hash\":" + (check.replayed ? HexHash(check.finalHash) : "null");
    out += ",\"first_mismatch_frame\":" +
           (check.firstMismatchFrame ? number(*check.firstMismatchFrame) : "null");
    out += '}';
    return out;
}

int ReplayCheckStatus(const ReplayCheck& check) {
    switch (check.verdict) {
    case ReplayVerdict::Verified:
        return 0;
    case ReplayVerdict::Mismatch:
        return 1;
    case ReplayVerdict::OtherBuild:
    case ReplayVerdict::Unreadable:
        return 2;
    }
    return 2;
}

int RunReplayCheckCommand(const std::string& file) {
    ReplayReadResult read = ReadReplayFrom(file);
    ReplayCheck check;
    if (read.Read)
        check = CheckReplay(std::move(*read.Read), ThisBuild());
    else if (read.Kind == ReplayReadError::OtherFormat)
        check = Refused(ReplayVerdict::OtherBuild, read.Error);
    else
        check = Refused(ReplayVerdict::Unreadable, read.Error);
    std::printf("%s\n", ReplayCheckJson(check).c_str());
    std::fflush(stdout);
    return ReplayCheckStatus(check);
}
