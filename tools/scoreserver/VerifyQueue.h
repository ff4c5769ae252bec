// Uploaded replays waiting to be re-played, and what their check found. The jobs are rows of the
// store: a job is claimed by one verifier worker at a time and finished in one transaction with its
// result's verdict, so a worker that dies mid-job leaves the job to be claimed again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace scoreserver {

// Where a result stands; stored as these numbers, which are also the order in which results are
// kept when the table is full (a verified result is the last to go, a refused one the first).
enum class Verdict : int {
    Verified = 0,   // its replay was re-played and reached what the result claims
    Pending = 1,    // its replay is waiting for a verifier
    Unverified = 2, // no replay was sent (an older game)
    Refused = 3,    // its replay did not hold up; never shown
};

const char* VerdictName(Verdict verdict);

// One uploaded replay and what it is checked against.
struct VerifyJob {
    int64_t ResultId = 0;
    int32_t ClaimedScore = 0;  // the score the result request sent
    std::string ClaimedName{}; // the name it sent
    std::string Token{};       // the one-time token the result and the upload came with
    int64_t UploadedMs = 0;    // when the upload arrived, ms since 1970
    std::vector<uint8_t> Replay{};
};

// What the check of a job decided.
struct JobOutcome {
    Verdict Result = Verdict::Refused; // Verified or Refused
    std::string Reason;                // why it was refused; empty when verified
    std::string FinalHash;             // the re-played game's final state hash, when the game was re-played
};

// The jobs as one worker sees them: a store connection of its own. Claim and Finish alternate.
class JobSource {
  public:
    virtual ~JobSource() = default;
    // The oldest job nobody else holds, now held by this source; nothing when none waits.
    virtual std::optional<VerifyJob> Claim() = 0;
    // Records the outcome and drops the job it held. A verified result whose game (its final hash)
    // another result was already verified with is refused instead. False if the store failed: the job
    // is claimed again later.
    virtual bool Finish(const VerifyJob& job, const JobOutcome& outcome) = 0;
    // Gives back a held job unfinished (the worker stops): another claims it.
    virtual void Release() = 0;
};

// What an upload came to.
enum class UploadOutcome {
    Queued,          // stored, its check is on the way
    UnknownToken,    // no stored result was sent with this token
    AlreadyUploaded, // the result already has its replay
    TooLate,         // the token's lifetime (and a little more) has passed
    QueueFull,       // too many replays wait: try again later
};

} // namespace scoreserver
