// The server program itself, as a host runs it: stopped by SIGTERM whatever
// clients do, and killed outright without losing an acknowledged result.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <atomic>
#include <fstream>
#include <set>
#include <sstream>

#include "ServerFixture.h"

namespace scoreserver {
namespace {

using testnet::RawConnection;

class ServerProcess {
  public:
    // openFiles: the open-file limit it runs under (soft and hard), 0 for this process's.
    ServerProcess(const std::string& database, const std::filesystem::path& log,
                  std::vector<std::string> options = {}, rlim_t openFiles = 0)
        : log_(log) {
        std::vector<std::string> args = {SCORESERVER_PROGRAM, "--port", "0", "--db", database};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 2);
            const rlimit limit{openFiles, openFiles};
            if (openFiles > 0) setrlimit(RLIMIT_NOFILE, &limit);
            execv(argv[0], argv.data());
            _exit(127);
        }
        const std::string marker = "listening on http://127.0.0.1:";
        for (int i = 0; i < 1000 && port_ == 0 && Running(); ++i) {
            const std::string text = Log();
            if (const std::size_t at = text.find(marker); at != std::string::npos)
                port_ = std::atoi(text.c_str() + at + marker.size());
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~ServerProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    int Port() const { return port_; }
    void Signal(int signal) { kill(pid_, signal); }

    // The exit status once it has ended, waiting at most timeout; nothing if it still runs.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return std::nullopt;
    }

    std::string Log() const {
        std::ifstream in(log_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

  private:
    bool Running() { return waitpid(pid_, nullptr, WNOHANG) == 0; }

    std::filesystem::path log_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// What a host asks of the program before running it: its usage, its version, and a clear refusal of an
// option it does not know (exit status 2).
TEST(ServerCommandLine, HelpAndVersionAnswerAndAnUnknownOptionIsRefused) {
    struct Case {
        const char* option;
        int status;
        std::string output; // the start of what it prints on standard output
    };
    const Case cases[] = {
        {"--version", 0, std::string("vantorix-scoreserver ") + VANTORIX_VERSION + "\n"},
        {"--help", 0, "usage: vantorix-scoreserver"},
        {"--bogus", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        const std::string command = std::string(SCORESERVER_PROGRAM) + " " + c.option + " 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char buffer[4096];
        for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, got);
        const int status = pclose(pipe);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.status);
        EXPECT_TRUE(output.starts_with(c.output)) << output;
        if (c.status != 0) {
            EXPECT_EQ(output, "") << "a refusal goes to standard error";
        }
    }
}

class ServerProgram : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(database_.starts_with("error:")) << database_; }

    TemporaryFolder folder_;
    const std::string database_ = testdb::FreshDatabase(folder_.Path());
};

TEST_F(ServerProgram, SigtermEndsItWhileSlowClientsHangOn) {
    ServerProcess server(database_, folder_.Path() / "server.log");
    ASSERT_NE(server.Port(), 0) << server.Log();
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 0; i < 8; ++i) {
        slow.push_back(std::make_unique<RawConnection>(server.Port()));
        slow.back()->Send("GET " + VersionTarget + " HTTP/1.1\r\nHost:");
    }
    RawConnection idle(server.Port());
    ASSERT_EQ(idle.Exchange(VersionTarget), 200);
    server.Signal(SIGTERM);
    // A generous bound: what matters is that it ends without the clients' help.
    const auto status = server.WaitForExit(std::chrono::seconds(10));
    ASSERT_TRUE(status) << "still running after SIGTERM";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << server.Log();
    EXPECT_NE(server.Log().find("stopping"), std::string::npos);
}

TEST_F(ServerProgram, UnderALowOpenFileLimitIdleConnectionsMakeRoomForPlayers) {
    // Every connection from one address is allowed, so only the fitted cap helps.
    ServerProcess server(database_, folder_.Path() / "server.log", {"--max-per-address", "1000"}, 64);
    ASSERT_NE(server.Port(), 0) << server.Log();
    EXPECT_NE(server.Log().find("open-file limit of 64 leaves room for 32 connections, not 512"),
              std::string::npos)
        << server.Log();
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (int i = 0; i < 200; ++i)
        idle.push_back(std::make_unique<RawConnection>(server.Port(), "127.0.0.2"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1200)); // no longer new
    httplib::Client player("127.0.0.1", server.Port());
    player.set_read_timeout(2);
    for (int i = 0; i < 5; ++i) {
        const auto version = player.Get(VersionTarget.c_str());
        ASSERT_TRUE(version && version->status == 200) << i;
        const std::string text =
            ResultTextLikeTheGame("Fd" + std::to_string(i), "7", SplitBars(version->body)[4], "No");
        const auto result = player.Get((ResultTarget + EncodeLikeTheGame(text)).c_str());
        EXPECT_TRUE(result && result->status == 200) << i;
        player.stop(); // the next pair on a new connection, as the game sends them
    }
}

TEST_F(ServerProgram, NoAcknowledgedResultIsLostWhenItIsKilled) {
    std::mutex mutex;
    std::vector<std::string> acknowledged;
    {
        ServerProcess server(database_, folder_.Path() / "server.log");
        ASSERT_NE(server.Port(), 0) << server.Log();
        std::atomic<bool> killed = false;
        std::vector<std::thread> players;
        for (int p = 0; p < 4; ++p) {
            players.emplace_back([&, p] {
                httplib::Client client("127.0.0.1", server.Port());
                client.set_read_timeout(5);
                for (int i = 0; !killed && i < 2000; ++i) {
                    const auto version = client.Get(VersionTarget.c_str());
                    if (!version || version->status != 200) return;
                    const std::string name = "K" + std::to_string(p) + "n" + std::to_string(i);
                    const std::string text =
                        ResultTextLikeTheGame(name, std::to_string(i), SplitBars(version->body)[4], "No");
                    const auto result = client.Get((ResultTarget + EncodeLikeTheGame(text)).c_str());
                    if (!result || result->status != 200) return;
                    std::lock_guard lock(mutex);
                    acknowledged.push_back(name);
                }
            });
        }
        while (true) { // kill it in the middle of the writes
            {
                std::lock_guard lock(mutex);
                if (acknowledged.size() >= 200) break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        server.Signal(SIGKILL);
        killed = true;
        for (std::thread& player : players)
            player.join();
        ASSERT_TRUE(server.WaitForExit(std::chrono::seconds(10)));
    }
    StoreSettings settings;
    settings.Address = database_;
    std::set<std::string> stored;
    for (const StoredResult& row : OpenScoreStore(settings)->Best(100000))
        stored.insert(row.Name);
    for (const std::string& name : acknowledged)
        EXPECT_TRUE(stored.contains(name)) << name << " was acknowledged but is gone";
}

} // namespace
} // namespace scoreserver
