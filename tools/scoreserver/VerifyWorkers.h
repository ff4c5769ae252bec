// The threads that re-play uploaded replays: each claims a job from the store, hands the replay to
// the verifier in its sandbox and records what came out, one job at a time. Any number of them, in
// any number of processes sharing a PostgreSQL database, share the jobs; with SQLite they are this
// server's own.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ScoreStore.h"
#include "ServerLog.h"
#include "VerifierSandbox.h"
#include "VerifyQueue.h"

namespace scoreserver {

struct VerifySettings {
    // The verifier programs, each run as "PROGRAM --verify -", tried in turn until one plays the
    // replay's build.
    std::vector<std::string> Verifiers;
    int Workers = 1;
    SandboxLimits Limits;
    std::chrono::milliseconds Poll{500}; // how often an idle worker looks for jobs other servers queued
};

class VerifyWorkers {
  public:
    // The outcome for a job, or nothing when it cannot be checked now (no verifier could run): the
    // job is then left for later.
    using Checker = std::function<std::optional<JobOutcome>(const VerifyJob&)>;
    // Told after each verdict is stored.
    using VerdictStored = std::function<void(Verdict)>;

    // The checker defaults to running the settings' verifiers.
    VerifyWorkers(ScoreStore& store, const VerifySettings& settings, ServerLog& log, VerdictStored stored,
                  Checker checker = {});
    ~VerifyWorkers(); // stops: running checks are cut short, their jobs left for later
    VerifyWorkers(const VerifyWorkers&) = delete;
    VerifyWorkers& operator=(const VerifyWorkers&) = delete;

    // A job was queued here: an idle worker looks at once.
    void Wake();

  private:
    void Work();
    void Pause(std::chrono::milliseconds time);
    std::optional<JobOutcome> RunVerifiers(const VerifyJob& job) const;

    ScoreStore& store_;
    const VerifySettings settings_;
    ServerLog& log_;
    VerdictStored stored_;
    Checker checker_;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    uint64_t wakes_ = 0;
    std::vector<std::thread> threads_;
};

} // namespace scoreserver
