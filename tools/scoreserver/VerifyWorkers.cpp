#include "VerifyWorkers.h"

#include <csignal>
#include <exception>

#include "VerifierAnswer.h"

namespace scoreserver {
namespace {

constexpr auto FaultPause = std::chrono::seconds(2); // after the store or the verifier failed

// What a run of the verifier came to when it did not answer for the replay itself.
std::optional<JobOutcome> RunFault(const SandboxRun& run, const SandboxLimits& limits) {
    auto refused = [](std::string reason) { return JobOutcome{Verdict::Refused, std::move(reason), ""}; };
    if (run.TimedOut)
        return refused("the check took longer than " + std::to_string(limits.WallTime.count()) + " ms");
    if (run.Signal == SIGXCPU || run.Signal == SIGKILL)
        return refused("the check used more than " + std::to_string(limits.CpuSeconds) + " CPU seconds");
    if (run.Signal != 0)
        return refused("the verifier failed on this replay (signal " + std::to_string(run.Signal) + ")");
    return std::nullopt;
}

} // namespace

VerifyWorkers::VerifyWorkers(ScoreStore& store, const VerifySettings& settings, ServerLog& log,
                             VerdictStored stored, Checker checker)
    : store_(store), settings_(settings), log_(log), stored_(std::move(stored)),
      checker_(std::move(checker)) {
    if (!checker_) checker_ = [this](const VerifyJob& job) { return RunVerifiers(job); };
    for (int i = 0; i < settings_.Workers; ++i)
        threads_.emplace_back([this] { Work(); });
}

VerifyWorkers::~VerifyWorkers() {
    stopping_ = true;
    Wake();
    for (std::thread& thread : threads_)
        thread.join();
}

void VerifyWorkers::Wake() {
    std::lock_guard lock(mutex_);
    ++wakes_;
    wake_.notify_all();
}

// Waits the time, or less when woken or stopping.
void VerifyWorkers::Pause(std::chrono::milliseconds time) {
    std::unique_lock lock(mutex_);
    const uint64_t seen = wakes_;
    wake_.wait_for(lock, time, [&] { return stopping_ || wakes_ != seen; });
}

void VerifyWorkers::Work() {
    std::unique_ptr<JobSource> source;
    while (!stopping_) {
        try {
            if (!source) source = store_.OpenJobSource();
            const std::optional<VerifyJob> job = source->Claim();
            if (!job) {
                Pause(settings_.Poll);
                continue;
            }
            const std::optional<JobOutcome> outcome = checker_(*job);
            if (!outcome || stopping_) {
                // Left for later, here or on another server: the verifier could not run, or this server
                // stops.
                source->Release();
                if (!outcome) log_.Fault("no verifier could be run; the replays wait");
                Pause(FaultPause);
                continue;
            }
            source->Finish(*job, *outcome);
            if (outcome->Result == Verdict::Verified)
                log_.Answered("replay verified");
            else
                log_.Refused("replay refused: " + outcome->Reason);
            if (stored_) stored_(outcome->Result);
        } catch (const std::exception& error) {
            // The store went away (a database restart): its connection is made again.
            log_.Fault(error.what());
            source.reset();
            Pause(FaultPause);
        }
    }
}

std::optional<JobOutcome> VerifyWorkers::RunVerifiers(const VerifyJob& job) const {
    std::optional<JobOutcome> otherBuild;
    SandboxLimits limits = settings_.Limits;
    limits.Cancel = &stopping_;
    for (const std::string& verifier : settings_.Verifiers) {
        const SandboxRun run = RunSandboxed({verifier, "--verify", "-"}, job.Replay, limits);
        // It could not be started (a missing program exits 127 before printing anything), or this
        // machine does not let it run sandboxed (a service manager's system-call filter kills it with
        // SIGSYS): not the replay's fault, so the job waits for a verifier that runs.
        if (!run.Started || (run.ExitCode == 127 && run.Output.empty()) || run.Signal == SIGSYS ||
            run.Cancelled)
            continue;
        if (auto fault = RunFault(run, limits)) return fault;
        const ReadAnswer read = ReadVerifierAnswer(run.Output);
        if (!read.Answer)
            return JobOutcome{Verdict::Refused, "the verifier's answer is not understood: " + read.Error, ""};
        JobOutcome outcome = JudgeAnswer(*read.Answer, run.ExitCode, job);
        if (read.Answer->Verdict != "other-build") return outcome;
        otherBuild = std::move(outcome);
    }
    return otherBuild; // no verifier played it: refused for its build, or nothing when none could run
}

} // namespace scoreserver
