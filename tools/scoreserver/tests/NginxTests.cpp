// The deployment's nginx site, run by a real nginx on loopback in front of the
// server: slow clients are nginx's to bear, and other players' results still go
// through.
#include <sys/resource.h>

#include <algorithm>

#include "NginxProcess.h"
#include "ServerFixture.h"

namespace scoreserver {
namespace {

using testnet::RawConnection;

class BehindNginx : public ScoreServerTest {
  protected:
    void SetUp() override {
        ScoreServerTest::SetUp();
        ServerSettings settings = DefaultSettings(); // as the unit runs it: nginx may hold every connection
        settings.Limits.MaxPerAddress = settings.Limits.MaxConnections;
        Start(settings);
        nginx_ = std::make_unique<testnet::NginxProcess>(SCORESERVER_DEPLOY_DIR, nginxFolder_.Path(), port_);
        ASSERT_EQ(nginx_->Problem(), "");
        nginxPort_ = nginx_->Port();
        serverClient_ = std::move(client_);
        client_ = std::make_unique<httplib::Client>("127.0.0.1", nginxPort_);
        client_->set_connection_timeout(5);
        client_->set_read_timeout(5);
    }

    void TearDown() override {
        nginx_.reset();
        ScoreServerTest::TearDown();
    }

    TemporaryFolder nginxFolder_;
    std::unique_ptr<testnet::NginxProcess> nginx_;
    int nginxPort_ = 0;
    std::unique_ptr<httplib::Client> serverClient_;
};

TEST_F(BehindNginx, TwoHundredSlowClientsDoNotStopOtherPlayersResults) {
    // The slow ones come from another loopback address than the player.
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 0; i < 200; ++i) {
        slow.push_back(std::make_unique<RawConnection>(nginxPort_, "127.0.0.2"));
        ASSERT_TRUE(slow.back()->Ok());
        ASSERT_TRUE(slow.back()->Send("GET " + VersionTarget + " HTTP/1.1\r\n"));
    }
    for (int round = 0; round < 10; ++round) {
        for (auto& connection : slow)
            connection->Send("X");
        EXPECT_EQ(Submit("Player" + std::to_string(round), std::to_string(1000 + round), "No"), 200);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const auto [status, page] = Get(TableTarget);
    EXPECT_EQ(status, 200);
    EXPECT_NE(page.find("<td>Player9</td><td class=\"score\">1009</td>"), std::string::npos) << page;
    EXPECT_EQ(Log().find("request took too long"), std::string::npos) << "nginx kept the slow ones";
}

TEST_F(BehindNginx, TwoThousandSlowHeadsLeaveRequestsWholeAndTheErrorLogQuiet) {
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = std::max<rlim_t>(limit.rlim_cur, std::min<rlim_t>(limit.rlim_max, 4096));
    setrlimit(RLIMIT_NOFILE, &limit);
    // More than Debian's 768 connections of each of two workers: nginx.conf as the guide sets it holds them.
    const std::string guide =
        testnet::ReadWholeFile(std::filesystem::path(SCORESERVER_DEPLOY_DIR) / "../README.md");
    EXPECT_NE(
        guide.find("worker_connections " + std::to_string(testnet::GuideNginxMain.WorkerConnections) + ";"),
        std::string::npos);
    EXPECT_NE(guide.find("worker_rlimit_nofile " + std::to_string(testnet::GuideNginxMain.OpenFiles) + ";"),
              std::string::npos);
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 0; i < 2000; ++i) {
        slow.push_back(std::make_unique<RawConnection>(nginxPort_, "127.0.0.2"));
        ASSERT_TRUE(slow.back()->Ok() && slow.back()->Send("GET / HTTP/1.1\r\nHost: x\r\n")) << i;
    }
    for (int round = 0; round < 5; ++round) {
        EXPECT_EQ(Get("/").first, 200);
        EXPECT_EQ(Submit("Whole" + std::to_string(round), "500", "No"), 200);
    }
    std::error_code ignored;
    EXPECT_LT(std::filesystem::file_size(nginx_->ErrorLog(), ignored), 1024u)
        << testnet::ReadWholeFile(nginx_->ErrorLog()).substr(0, 2000);
}

TEST_F(BehindNginx, RequestBurstsAreLimitedPerClientAddress) {
    int limited = 0;
    RawConnection greedy(nginxPort_, "127.0.0.3");
    for (int i = 0; i < 100; ++i) {
        const int status = greedy.Exchange(VersionTarget);
        ASSERT_NE(status, 0);
        limited += status == 429 ? 1 : 0;
    }
    EXPECT_GT(limited, 40) << "a burst of 100 goes well past the allowance";
    std::error_code ignored;
    EXPECT_EQ(std::filesystem::file_size(nginx_->ErrorLog(), ignored), 0u) << "refusals are not errors";
    EXPECT_EQ(Submit("Calm", "77", "No"), 200) << "another address is not held back";
    const auto posted = client_->Post("/", "x", "text/plain");
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->status, 403) << "only GET and HEAD but on the score script";
}

TEST_F(BehindNginx, AReplayIsUploadedThroughAndAnOversizedOneStopsThere) {
    const std::string token = FetchToken();
    ASSERT_EQ(Get(ResultTarget + EncodeLikeTheGame(ResultTextLikeTheGame("Ada", "10", token, "No"))).first,
              200);
    const std::string target = "/cgi/version.pl?replay&prg=Vantorix&p=" + token;
    const auto huge =
        client_->Post(target.c_str(), "VTXREPLY" + std::string(300 * 1024, 'x'), "application/octet-stream");
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->status, 413);
    const auto posted =
        client_->Post(target.c_str(), "VTXREPLY" + std::string(200 * 1024, 'x'), "application/octet-stream");
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->status, 202) << posted->body;
    const auto version = client_->Post(VersionTarget.c_str(), "VTXREPLY", "application/octet-stream");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->status, 405) << "the server takes only replays by POST";
    EXPECT_NE(Get(TableTarget).second.find("being checked"), std::string::npos);
}

} // namespace
} // namespace scoreserver
