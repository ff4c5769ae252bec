// The deployment's nginx site, run by a real nginx on loopback in front of the
// server: slow clients are nginx's to bear, and other players' results still go
// through.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "ServerFixture.h"

namespace scoreserver {
namespace {

using testnet::RawConnection;

constexpr const char* NginxProgram = "/usr/sbin/nginx";

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Replaces every occurrence of from; a test failure if there is none.
void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    ASSERT_NE(text.find(from), std::string::npos) << "the site no longer holds: " << from;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

class BehindNginx : public ScoreServerTest {
  protected:
    void SetUp() override {
        ScoreServerTest::SetUp();
        ASSERT_EQ(access(NginxProgram, X_OK), 0) << "nginx is missing: apt-get install nginx";
        nginxPort_ = FreePort();
        WriteConfiguration();
        StartNginx();
        serverClient_ = std::move(client_);
        client_ = std::make_unique<httplib::Client>("127.0.0.1", nginxPort_);
        client_->set_connection_timeout(5);
        client_->set_read_timeout(5);
    }

    void TearDown() override {
        if (nginx_ > 0) {
            kill(nginx_, SIGQUIT);
            for (int i = 0; i < 500 && waitpid(nginx_, nullptr, WNOHANG) == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            kill(nginx_, SIGKILL);
            waitpid(nginx_, nullptr, 0);
        }
        ScoreServerTest::TearDown();
    }

    // The deployed site and snippet as they are, moved to loopback ports and this folder.
    void WriteConfiguration() {
        const std::filesystem::path deploy = SCORESERVER_DEPLOY_DIR;
        const std::filesystem::path folder = nginxFolder_.Path();
        chmod(folder.c_str(), 0755); // nginx's workers may run as another user
        std::string site = ReadFile(deploy / "nginx/vantorix-scoreserver");
        ReplaceAll(site, "listen 80;", "listen 127.0.0.1:" + std::to_string(nginxPort_) + ";");
        ReplaceAll(site, "listen [::]:80;", "");
        ReplaceAll(site, "server 127.0.0.1:8080;", "server 127.0.0.1:" + std::to_string(port_) + ";");
        ReplaceAll(site, "include snippets/vantorix-scoreserver.conf;",
                   "include " + (deploy / "nginx/vantorix-scoreserver.conf").string() + ";");
        std::ofstream(folder / "site.conf") << site;
        std::ofstream(folder / "nginx.conf")
            << "daemon off;\nworker_processes 1;\npid " << (folder / "nginx.pid").string() << ";\n"
            << "error_log " << (folder / "error.log").string() << " warn;\n"
            << "events { worker_connections 1024; }\n"
            << "http {\n  access_log off;\n"
            << "  client_body_temp_path " << (folder / "body").string() << ";\n"
            << "  proxy_temp_path " << (folder / "proxy").string() << ";\n"
            << "  fastcgi_temp_path " << (folder / "fastcgi").string() << ";\n"
            << "  uwsgi_temp_path " << (folder / "uwsgi").string() << ";\n"
            << "  scgi_temp_path " << (folder / "scgi").string() << ";\n"
            << "  include " << (folder / "site.conf").string() << ";\n}\n";
    }

    void StartNginx() {
        const std::filesystem::path folder = nginxFolder_.Path();
        nginx_ = fork();
        if (nginx_ == 0) {
            execl(NginxProgram, NginxProgram, "-p", folder.c_str(), "-c", (folder / "nginx.conf").c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 500; ++i) {
            if (RawConnection(nginxPort_).Ok()) return;
            if (waitpid(nginx_, nullptr, WNOHANG) == nginx_) {
                nginx_ = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        FAIL() << "nginx did not start:\n" << ReadFile(folder / "error.log");
    }

    TemporaryFolder nginxFolder_;
    int nginxPort_ = 0;
    pid_t nginx_ = -1;
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

TEST_F(BehindNginx, RequestBurstsAreLimitedPerClientAddress) {
    int limited = 0;
    RawConnection greedy(nginxPort_, "127.0.0.3");
    for (int i = 0; i < 100; ++i) {
        const int status = greedy.Exchange(VersionTarget);
        ASSERT_NE(status, 0);
        limited += status == 429 ? 1 : 0;
    }
    EXPECT_GT(limited, 40) << "a burst of 100 goes well past the allowance";
    EXPECT_EQ(Submit("Calm", "77", "No"), 200) << "another address is not held back";
    const auto posted = client_->Post(VersionTarget.c_str(), "x", "text/plain");
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->status, 403) << "only GET and HEAD";
}

} // namespace
} // namespace scoreserver
