// The verification jobs as rows of the store: claimed by one worker at a time, finished once, and
// claimed again when the worker holding one dies. With PostgreSQL the workers are on connections of
// their own, as in processes on other machines; a real worker process is killed mid-job too.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <map>

#include "NginxProcess.h"
#include "ServerFixture.h"

namespace scoreserver {
namespace {

class VerifyQueue : public ::testing::Test {
  protected:
    void SetUp() override {
        settings_.Address = testdb::FreshDatabase(folder_.Path());
        ASSERT_FALSE(settings_.Address.starts_with("error:")) << settings_.Address;
        store_ = OpenScoreStore(settings_);
    }

    // Results scoring 0, 1, ... with their replays uploaded, made by replayOf from the score.
    void QueueReplays(int count, const std::function<std::string(int)>& replayOf) {
        for (int i = 0; i < count; ++i) {
            const std::string replay = replayOf(i);
            const std::string token = store_->IssueToken();
            ASSERT_EQ(store_->StoreResults({{"P" + std::to_string(i), i, "No", token}}, 0),
                      std::vector<bool>{true});
            ASSERT_EQ(store_->AttachReplay(token, std::vector<uint8_t>(replay.begin(), replay.end()), Now()),
                      UploadOutcome::Queued);
        }
    }

    static int64_t Now() {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }

    // Waits until the results shown are all verified (at most timeout); true when the count are.
    bool AllVerified(std::size_t count, std::chrono::seconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            const std::vector<StoredResult> shown = store_->Best(1000);
            if (shown.size() == count && std::all_of(shown.begin(), shown.end(), [](const StoredResult& row) {
                    return row.State == Verdict::Verified;
                }))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    TemporaryFolder folder_;
    StoreSettings settings_;
    std::unique_ptr<ScoreStore> store_;
    ServerLog log_{[](std::string_view) {}};
};

TEST_F(VerifyQueue, TwoWorkersDoEveryJobExactlyOnceAndADeadOnesJobIsClaimedAgain) {
    QueueReplays(30, [](int) { return "VTXREPLY"; });
    // A worker that claims the oldest job and dies holding it (its connection goes with it).
    int64_t abandoned = 0;
    {
        auto doomed = store_->OpenJobSource();
        const auto job = doomed->Claim();
        ASSERT_TRUE(job);
        abandoned = job->ResultId;
    }
    std::mutex mutex;
    std::map<int64_t, int> checks;
    const VerifyWorkers::Checker checker = [&](const VerifyJob& job) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::lock_guard lock(mutex);
        ++checks[job.ResultId];
        return JobOutcome{Verdict::Verified, "", "fin" + std::to_string(job.ResultId)};
    };
    VerifySettings settings;
    settings.Workers = 1;
    settings.Poll = std::chrono::milliseconds(20);
    {
        VerifyWorkers first(*store_, settings, log_, {}, checker);
        VerifyWorkers second(*store_, settings, log_, {}, checker); // on a store connection of its own
        EXPECT_TRUE(AllVerified(30, std::chrono::seconds(20)));
    }
    std::lock_guard lock(mutex);
    EXPECT_EQ(checks.size(), 30u);
    for (const auto& [id, times] : checks)
        EXPECT_EQ(times, 1) << "job " << id;
    EXPECT_EQ(checks.count(abandoned), 1u) << "the dead worker's job was done by another";
    EXPECT_FALSE(store_->OpenJobSource()->Claim()) << "no job is left";
    for (const StoredResult& row : store_->Best(1000))
        EXPECT_EQ(row.State, Verdict::Verified) << row.Name;
}

// A worker process killed with SIGKILL while its verifier runs: another worker process on the same
// database takes the job over and finishes it.
TEST_F(VerifyQueue, AKilledWorkerProcessLeavesItsJobToAnother) {
    if (!testdb::PostgresUnderTest()) GTEST_SKIP() << "workers in other processes need PostgreSQL";
    // Each check takes two seconds.
    QueueReplays(2, [](int score) {
        return "VTXREPLY verified " + std::to_string(score) + " 000000000000000" + std::to_string(score) +
               " P" + std::to_string(score) + " 2";
    });
    auto startWorker = [&](const std::filesystem::path& log) {
        const pid_t pid = fork();
        if (pid == 0) {
            const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 2);
            execl(SCORESERVER_PROGRAM, SCORESERVER_PROGRAM, "--verify-only", "--db",
                  settings_.Address.c_str(), "--verifier", SCORESERVER_TESTS_DIR "/fake-verifier.sh",
                  "--verify-workers", "1", static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    };
    const pid_t doomed = startWorker(folder_.Path() / "doomed.log");
    std::this_thread::sleep_for(std::chrono::milliseconds(800)); // it holds the first job now
    kill(doomed, SIGKILL);
    waitpid(doomed, nullptr, 0);
    for (const StoredResult& row : store_->Best(10))
        EXPECT_EQ(row.State, Verdict::Pending) << "the killed worker finished nothing";

    const pid_t survivor = startWorker(folder_.Path() / "survivor.log");
    const bool checked = AllVerified(2, std::chrono::seconds(20));
    kill(survivor, SIGTERM);
    int status = 0;
    waitpid(survivor, &status, 0);
    EXPECT_TRUE(checked) << testnet::ReadWholeFile(folder_.Path() / "survivor.log");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "SIGTERM ends it cleanly";
    for (const StoredResult& row : store_->Best(10))
        EXPECT_EQ(row.State, Verdict::Verified) << row.Name;
}

} // namespace
} // namespace scoreserver
