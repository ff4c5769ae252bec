// What the replay verifier (`vantorix --verify -`) prints: one line of JSON with fixed keys, read
// strictly (one flat object of strings, integers and nulls, no key twice), and what the server
// makes of it for a result.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "VerifyQueue.h"

namespace scoreserver {

struct VerifierAnswer {
    std::string Verdict; // "verified", "mismatch", "other-build" or "unreadable"
    std::string Reason;
    std::string Name; // the name the game was played under
    std::string GameVersion;
    std::optional<int64_t> RulesVersion;
    std::string RulesHash;
    std::optional<int64_t> Score; // what the re-play reached
    std::optional<int64_t> Stage;
    std::optional<int64_t> Frames;
    std::optional<int64_t> PlayedMs;
    std::optional<int64_t> ClaimedScore; // what the file claims
    std::string FinalHash;               // 16 lower-case hexadecimal digits, or empty
};

struct ReadAnswer {
    std::optional<VerifierAnswer> Answer;
    std::string Error; // why the line is not an answer
};

// The first line of the verifier's output.
ReadAnswer ReadVerifierAnswer(std::string_view output);

// The outcome for a result whose replay the verifier answered for (a build it could play): verified
// only when the verifier says so, the re-played score is the score the result request claimed and
// the game was played under the result's name.
JobOutcome JudgeAnswer(const VerifierAnswer& answer, int exitCode, const VerifyJob& job);

} // namespace scoreserver
